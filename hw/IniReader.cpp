#include "IniReader.h"

IniReader::IniReader() : inicd_(LoadLibraryW(L"inicd.dll")) {
    if (inicd_) {
        disCode_ = (DisCodeFn)(void*)GetProcAddress(inicd_.Get(), "DisCode");
    }
}

int IniReader::Load(const wchar_t* fileName, bool decode) {
    text_.Clear();
    FileHolder file(_wfopen(fileName, L"rb"));
    if (!file) {
        return 0;
    }
    int64_t length = -1;
    if (_fseeki64(file.Get(), 0, SEEK_END) == 0) {
        length = _ftelli64(file.Get());
    }
    if (length < 0 || length > (int64_t)kIniMaxFileBytes || _fseeki64(file.Get(), 0, SEEK_SET) != 0) {
        return 0;
    }
    size_t bytes = (size_t)length;
    // An odd last byte is no unit and is not read.
    wchar_t* buffer = text_.Allocate((uint32_t)(bytes / 2));
    if (!buffer) {
        return 0;
    }
    size_t read = fread(buffer, 1, bytes, file.Get());
    if (read != bytes) {
        text_.Clear();
        return 0;
    }
    // The odd byte landed in the terminator.
    buffer[text_.UnitCount()] = 0;
    if (decode) {
        if (!disCode_) {
            text_.Clear();
            return 0;
        }
        disCode_(buffer, (int)text_.UnitCount());
    }
    return text_.Parse();
}
