#include "BiosImage.h"

#include <string.h>

namespace vcard {

namespace {

const uint16_t kNvidiaVendor = 0x10DE;
const uint32_t kPciDataOffset = 0x1A0;
const uint32_t kIdentityOffset = 0x60;
const uint32_t kVersionOffset = 0x100;
const char kIdentityMagic[4] = {'$', 'B', 'R', 'D'};

void Put16(uint8_t* p, uint16_t v) {
    p[0] = (uint8_t)(v & 0xFF);
    p[1] = (uint8_t)(v >> 8);
}

uint16_t Get16(const uint8_t* p) {
    return (uint16_t)(p[0] | (p[1] << 8));
}

void PutText(uint8_t* image, uint32_t offset, const char* text) {
    memcpy(image + offset, text, strlen(text));
}

}  // namespace

uint32_t BuildBiosImage(const BiosIdentity& identity, BiosSignature signature, uint32_t signatureOffset,
                        uint8_t* image) {
    const uint32_t size = kBiosImageSize;
    memset(image, 0xFF, size);
    memset(image, 0, 0x400);
    image[0] = 0x55;
    image[1] = 0xAA;
    image[2] = (uint8_t)(size / 512);
    image[3] = 0xEB;  // short jump over the header to the init code
    image[4] = 0x4B;
    PutText(image, 0x1E, "IBM VGA Compatible");
    Put16(image + 0x18, (uint16_t)kPciDataOffset);

    memcpy(image + kIdentityOffset, kIdentityMagic, 4);
    Put16(image + kIdentityOffset + 4, identity.subsystemVendor);
    Put16(image + kIdentityOffset + 6, identity.subsystemDevice);
    Put16(image + kIdentityOffset + 8, identity.boardId);
    Put16(image + kIdentityOffset + 10, identity.deviceId);

    PutText(image, kVersionOffset, "Virtual card video BIOS 1.00 (c) Vexa Panel test bench");

    uint8_t* pcir = image + kPciDataOffset;
    PutText(pcir, 0, "PCIR");
    Put16(pcir + 4, identity.vendorId ? identity.vendorId : kNvidiaVendor);
    Put16(pcir + 6, identity.deviceId);
    Put16(pcir + 10, 0x18);  // structure length
    pcir[13] = 0x00;         // class code 03 00 00: VGA display controller
    pcir[14] = 0x00;
    pcir[15] = 0x03;
    Put16(pcir + 16, (uint16_t)(size / 512));
    pcir[21] = 0x80;  // last image in the ROM

    if (signature != kSignatureNone && signatureOffset + 8 <= kSignatureTextLimit) {
        PutText(image, signatureOffset, signature == kSignatureNoFan ? "Vexa DM" : "Vexa -F");
    }

    // The x86 init code: a far return, then the checksum byte at the end.
    image[0x4D] = 0xCB;
    uint8_t sum = 0;
    for (uint32_t i = 0; i + 1 < size; ++i)
        sum = (uint8_t)(sum + image[i]);
    image[size - 1] = (uint8_t)(0x100 - sum);
    return size;
}

ImageCheck CheckBiosImage(const uint8_t* image, size_t size, size_t capacity, BiosIdentity* identity) {
    if (size < 1024) return kImageTooSmall;
    if (size > capacity) return kImageTooLarge;
    if (image[0] != 0x55 || image[1] != 0xAA) return kImageNoRomHeader;
    size_t romSize = (size_t)image[2] * 512;
    if (romSize == 0 || romSize > size) return kImageNoRomHeader;
    size_t pcir = Get16(image + 0x18);
    if (pcir + 0x18 > romSize || memcmp(image + pcir, "PCIR", 4) != 0) return kImageNoPciData;
    if (Get16(image + pcir + 4) != kNvidiaVendor) return kImageNotNvidia;
    uint8_t sum = 0;
    for (size_t i = 0; i < romSize; ++i)
        sum = (uint8_t)(sum + image[i]);
    if (sum != 0) return kImageBadChecksum;

    BiosIdentity found = {};
    found.vendorId = kNvidiaVendor;
    found.deviceId = Get16(image + pcir + 6);
    if (memcmp(image + kIdentityOffset, kIdentityMagic, 4) == 0) {
        found.subsystemVendor = Get16(image + kIdentityOffset + 4);
        found.subsystemDevice = Get16(image + kIdentityOffset + 6);
        found.boardId = Get16(image + kIdentityOffset + 8);
    }
    if (identity) *identity = found;
    return kImageOk;
}

const char* ImageCheckText(ImageCheck check) {
    switch (check) {
        case kImageOk:
            return "image is valid";
        case kImageTooSmall:
            return "file is too small to be a video BIOS image";
        case kImageTooLarge:
            return "image is larger than the adapter's EEPROM";
        case kImageNoRomHeader:
            return "no option ROM header (55 AA) or a bad ROM size";
        case kImageNoPciData:
            return "no PCI data structure";
        case kImageNotNvidia:
            return "image is not for this vendor's adapters";
        case kImageBadChecksum:
            return "image checksum is wrong";
    }
    return "unknown image error";
}

BiosSignature FindSignature(const uint8_t* image, size_t size) {
    size_t limit = size < kSignatureTextLimit ? size : kSignatureTextLimit;
    // The panel looks at positions 0 to 592 only.
    for (size_t p = 0; p + 8 <= limit; ++p) {
        if (image[p] != 'V') continue;
        if (image[p + 5] == 'D' && image[p + 6] == 'M') return kSignatureNoFan;
        if (image[p + 5] == '-' && image[p + 6] == 'F') return kSignaturePwm2;
    }
    return kSignatureNone;
}

}  // namespace vcard
