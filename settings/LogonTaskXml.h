#pragma once

#include <stddef.h>

#include "Utf16Unit.h"

// The logon task that starts the program with the highest privileges on
// Windows Vista and later, as Task Scheduler 2.0 XML. The task runs the
// program with the start-mode word of the Run value as its only argument.
// Pure text handling; the scheduler side lives in LogonTask.

// Room for any task this composes: the fixed text, a program path of
// kRunValueMaxPathChars and a user name of kLogonTaskMaxUserChars, each with
// every character escaped.
const size_t kLogonTaskMaxUserChars = 256;
const size_t kLogonTaskXmlBufferChars = 4096;

// Writes the task's XML with a terminating NUL into out and returns its
// length in characters. userId ("DOMAIN\\user") limits the trigger and the
// principal to that user; null or empty leaves it to the scheduler (the
// registering user). Returns 0, and writes only an empty string, when the
// mode has no word, the path is null, empty, longer than
// kRunValueMaxPathChars or holds a double quote, the user name is longer than
// kLogonTaskMaxUserChars, or the text would not fit outChars.
size_t ComposeLogonTaskXml(const Utf16Unit* programPath, int mode, const Utf16Unit* userId, Utf16Unit* out,
                           size_t outChars);

// The unescaped text of the first <Arguments> element after <Exec> in
// `length` characters of task XML, NUL-terminated in out. Returns false when
// there is none or it does not fit outChars (then out is empty).
bool FindLogonTaskArguments(const Utf16Unit* xml, size_t length, Utf16Unit* out, size_t outChars);
