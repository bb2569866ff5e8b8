#pragma once
// The About dialog (resource 103): the version line, Help, and below them
// the list of news from the maker's page, for which the dialog grows.

#include <windows.h>

// The news list's child id and place in the dialog's client area, in pixels
// rather than dialog units: the list's rows are measured in pixels.
const int kNewsListId = 10;
const int kNewsListX = 4;
const int kNewsListY = 82;
const int kNewsListWidth = 306;
// Space left below the news list, or below the buttons without one.
const int kNewsListMargin = 5;

// Runs the dialog modally over owner; IDOK or IDCANCEL when it closes. While
// one About dialog is open a second call returns 0 at once: the end of the
// news download may ask for the dialog while the user already has it open.
INT_PTR ShowAboutDialogBox(HWND owner);

// Moves the dialog's bottom edge down by a news list of listHeight pixels
// (0 when there is none) and the margin below it.
void GrowForNewsList(HWND dialog, int listHeight);
