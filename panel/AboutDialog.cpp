#include "AboutDialog.h"

#include <shellapi.h>
#include <wchar.h>

#include <new>

#include "GdiHolders.h"
#include "LanguageState.h"
#include "NewsFetcher.h"
#include "NewsWindow.h"
#include "WindowUtils.h"
#include "resource.h"
#include "ProgramFile.h"

namespace {

const int kTextAbout = 9;
const int kTextOk = 56;
const int kTextHelp = 87;
const wchar_t kHelpFile[] = L"HELP.CHM";

bool gAboutOpen = false;

// The open dialog's news list, with the font of its rows: the program's bold
// Arial of height 14. The font is declared first so that it outlives the
// rows drawn with it.
struct AboutNews {
    FontHolder font;
    NewsWindow list;
};
AboutNews* gNews = nullptr;

void FreeNewsList() {
    delete gNews;
    gNews = nullptr;
}

// Makes the news list's window (child kNewsListId at kNewsListX, kNewsListY,
// kNewsListWidth wide) and answers its height; 0 when there is nothing to
// list and no window was made.
int CreateNewsList(HWND dialog) {
    NewsListRef items = ProgramNewsFetcher().Items();
    if (items.Count() == 0) return 0;
    gNews = new (std::nothrow) AboutNews;
    if (!gNews) return 0;
    LOGFONTW font = {};
    font.lfHeight = 14;
    font.lfWeight = FW_BOLD;
    font.lfQuality = PROOF_QUALITY;
    lstrcpynW(font.lfFaceName, L"Arial", LF_FACESIZE);
    gNews->font.Reset(CreateFontIndirectW(&font));
    gNews->list.SetFont(gNews->font.Get());
    for (int i = 0; i < items.Count(); i++)
        gNews->list.AddItem(items.Title(i), items.Link(i));
    if (!gNews->list.Create(kNewsListId, kNewsListX, kNewsListY, kNewsListWidth, dialog)) {
        FreeNewsList();
        return 0;
    }
    return gNews->list.Height();
}

// The help file beside the program, wherever the current directory is.
void OpenHelp(HWND dialog) {
    // A missing file or viewer is the shell's to report.
    ShellExecuteW(dialog, L"open", ProgramFile(kHelpFile).Path(), NULL, NULL, SW_SHOW);
}

void InitDialog(HWND dialog) {
    SetWindowTextW(dialog, LangText(kTextAbout));
    SetDlgItemTextW(dialog, IDOK, LangText(kTextOk));
    SetDlgItemTextW(dialog, IDC_ABOUT_HELP, LangText(kTextHelp));
    GrowForNewsList(dialog, CreateNewsList(dialog));
    // Centred once grown, so that a long news list does not hang below the
    // panel.
    CenterWindowOnScreen(dialog, GetWindow(dialog, GW_OWNER));
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            InitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_ABOUT_HELP:
                    OpenHelp(dialog);
                    return FALSE;
                case IDOK:
                case IDCANCEL:
                    EndDialog(dialog, LOWORD(wParam));
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR ShowAboutDialogBox(HWND owner) {
    if (gAboutOpen) return 0;
    gAboutOpen = true;
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc, 0);
    // The list's window went with the dialog; its object goes now.
    FreeNewsList();
    gAboutOpen = false;
    return result;
}

void GrowForNewsList(HWND dialog, int listHeight) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(dialog, &placement)) return;
    placement.rcNormalPosition.bottom += (listHeight > 0 ? listHeight : 0) + kNewsListMargin;
    SetWindowPlacement(dialog, &placement);
}
