#pragma once
// The error manager of the JPEG glue. A library error formats its message into the manager and
// jumps back (longjmp) to the caller's setjmp on `jump`; frames between the two must hold no
// object with a destructor. Warnings are formatted and sent to the trace monitor with TraceLine
// (the first warning of each image, as the library does by default); trace messages are dropped.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct JpegErrorManager {
    jpeg_error_mgr library;  // first: the library sees a pointer to this
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Fills `manager` with the library's defaults and the glue's hooks; returns the pointer to store
// in the library record's `err`.
jpeg_error_mgr* InstallJpegErrorHooks(JpegErrorManager& manager);
