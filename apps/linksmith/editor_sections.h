#pragma once
// The sections the hotspot editor reads from a panorama file and writes back into it: its
// hotspots ("HSPT"), the initial view and angular size ("INIT"), the details ("NOTE"), the
// embedded files ("FILE") and, for a bare bitmap or JPEG file, the image ("BTMP").
// Any thread; nothing here touches the engine or a window.

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "apps/linksmith/hotspot_record.h"
#include "engine/container/init_section.h"
#include "engine/container/section_archive.h"

// The texts of the failures of a save, as the user sees them.
inline constexpr const char* kFileIoErrorText = "File I/O Error.";
inline constexpr const char* kNoMemoryText = "Insufficient System Memory.";

// What the editor takes from a panorama file.
struct EditedSections {
    HotspotArray hotspots;           // in file order, at most 255, descriptions cut to 2047
    EditorInitialView initialView;   // 360, 180 and zeros when the file has no INIT
    std::vector<std::uint8_t> note;  // the NOTE section when it begins with 0x0A, else empty
    // The file has a NOTE that does not begin with 0x0A: saving leaves it as it is.
    bool keepFileNote = false;
    // The file has an INIT that is not 16 bytes long (`initialView` holds the defaults, as the
    // viewer ignores it): saving may leave it as it is.
    bool keepFileInit = false;
};

// Reads the sections from `stream` (open for reading; it is left at an unspecified position).
// Every read is bounded by its section and by the file: a hotspot record cut short ends the
// list; a file that is no container gives the defaults. An INIT that is not 16 bytes long and a
// NOTE that does not begin with 0x0A are not read (only their sizes and the mark decide). May
// throw std::bad_alloc.
EditedSections ReadEditedSections(std::FILE* stream);

// What a save writes besides what the source file already holds.
struct SaveContent {
    EditorInitialView initialView;
    bool keepFileInit = false;  // leave the source's INIT as it is instead of `initialView`
    std::span<const HotspotRecord> hotspots;
    // The folder whose files named "~..." are embedded (with its final "/"); none when empty.
    std::string extractDirectory;
    // The folder's files as the open left them. The source's entries under other names, which
    // the folder never held (names without the "~", which the engine does not extract, and
    // entries it could not write), are embedded behind the folder's files, unless the folder
    // now holds a file of that name.
    std::span<const std::string> extractedFiles;
    std::span<const std::uint8_t> note;  // empty: no details
    bool keepFileNote = false;           // leave the source's NOTE as it is
};

// Builds the container to save: the panorama file at `sourcePath` as it is on disk (a bare
// bitmap or JPEG file becomes the "BTMP" section of a new container) with the editor's sections
// set in the order BTMP, INIT, HSPT, FILE, NOTE; sections the editor does not own stay as they
// are. False with `error` set to the user's text when the source cannot be read or is neither a
// container, a bitmap nor a JPEG file, when an embedded file cannot be read, or when memory
// runs out or the embedded files are beyond the FILE section's bounds ("Insufficient System
// Memory.": the folder's files are refused as soon as they pass the bounds, never read whole
// beyond them); `archive` then holds nothing useful.
bool BuildSavedArchive(const std::string& sourcePath, const SaveContent& content,
                       SectionArchive& archive, std::string& error);
