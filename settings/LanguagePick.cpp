#include "LanguagePick.h"

#include "LanguageTable.h"

int LanguageCodeForLangId(unsigned short langId) {
    switch (langId) {
        case 0x0804:  // Chinese, PRC
            return kLanguageSimplifiedChinese;
        case 0x0404:  // Chinese, Taiwan
        case 0x0C04:  // Chinese, Hong Kong
        case 0x1004:  // Chinese, Singapore: deliberately Traditional, like the rest
        case 0x1404:  // Chinese, Macao
            return kLanguageTraditionalChinese;
        default:
            return kLanguageEnglish;
    }
}

int LanguageColumnForCode(int code) {
    switch (code) {
        case kLanguageSimplifiedChinese:
            return kColumnSimplifiedChinese;
        case kLanguageTraditionalChinese:
            return kColumnTraditionalChinese;
        default:
            return kColumnEnglish;
    }
}
