#pragma once
// The error manager of the JPEG glue. A library error formats its message into the manager and
// jumps back (longjmp) to the caller's setjmp on `jump`; frames between the two must hold no
// object with a destructor. Warnings are formatted and sent to the trace monitor with TraceLine
// (the first warning of each image, as the library does by default); trace messages are dropped.
// A stream that draws more than kMaxJpegWarnings warnings is corrupt: the next one ends the
// coding as an error would. Damaged but readable pictures draw a few (a truncated stream two,
// a stray byte before a marker one each); a hostile progressive stream draws one or more with
// every scan ("Inconsistent progression sequence"), and one broken scan may draw one for each
// of its coefficients.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

inline constexpr long kMaxJpegWarnings = 16;

struct JpegErrorManager {
    jpeg_error_mgr library;  // first: the library sees a pointer to this
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Fills `manager` with the library's defaults and the glue's hooks; returns the pointer to store
// in the library record's `err`.
jpeg_error_mgr* InstallJpegErrorHooks(JpegErrorManager& manager);

// Ends the coding of `info`, whose `err` the hooks were installed in, as a library error with
// `text` (cut to the message's length): the jump is taken.
[[noreturn]] void FailJpegCoding(j_common_ptr info, const char* text);
