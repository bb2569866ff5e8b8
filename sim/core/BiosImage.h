// The virtual card's video BIOS images: a small but well-formed PC option ROM
// (0x55 0xAA header, PCI data structure, checksum) with an identity block and,
// when the scenario says so, the fan-wiring signature text in its first
// 600 bytes.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace vcard {

enum BiosSignature {
    kSignatureNone = 0,
    kSignatureNoFan = 1,  // "V....DM": the board has no fan control
    kSignaturePwm2 = 2,   // "V....-F": the fan hangs on the ADT7473's second PWM output
};

struct BiosIdentity {
    uint16_t vendorId;
    uint16_t deviceId;
    uint16_t subsystemVendor;  // 0 when the image has no identity block
    uint16_t subsystemDevice;
    uint16_t boardId;
};

const uint32_t kBiosImageSize = 0x10000;
const uint32_t kSignatureTextLimit = 600;  // the part of the image searched for signatures
const uint32_t kDefaultSignatureOffset = 0x1C0;

// Writes a complete image of kBiosImageSize bytes into image (which must hold
// that many) and returns its size.
uint32_t BuildBiosImage(const BiosIdentity& identity, BiosSignature signature, uint32_t signatureOffset,
                        uint8_t* image);

enum ImageCheck {
    kImageOk = 0,
    kImageTooSmall,
    kImageTooLarge,
    kImageNoRomHeader,
    kImageNoPciData,
    kImageNotNvidia,
    kImageBadChecksum,
};

// Checks a file as the flash tool does before writing it; on success fills
// identity (subsystem and board zero when the image has no identity block).
ImageCheck CheckBiosImage(const uint8_t* image, size_t size, size_t capacity, BiosIdentity* identity);
const char* ImageCheckText(ImageCheck check);

// The signature the first 600 bytes carry, the first one found.
BiosSignature FindSignature(const uint8_t* image, size_t size);

}  // namespace vcard
