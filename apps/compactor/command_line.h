#pragma once
// The compressor's command line. Switches begin with "-" or "/"; plain arguments are taken in
// order: the input name, the output name, or the value of the switch before them. Switches
// that set a stored value ("codec", "quality", "thumbnail") write it at once, while parsing;
// "registry" changes the settings' key for everything that follows.
// User-interface thread only.

#include <string>
#include <string_view>
#include <vector>

#include "apps/compactor/compression_settings.h"

class CCompactorCommandLineInfo {
  public:
    // What the next plain argument means.
    enum class ParserState {
        FileName = 0,
        CodecWord = 1,
        Quality = 2,
        RegistryWord = 3,
        WindowHandle = 4,
        ThumbnailFlag = 5,
    };

    // `settings` receives the values given on the command line; it must outlive this object.
    explicit CCompactorCommandLineInfo(CompressionSettings& settings) : settings_(settings) {}

    // Takes one argument: a switch word (without its "-" or "/") when `isSwitch`, else a plain
    // argument. Switch words and keyword values are compared lower-cased; file names keep
    // their case. Unknown switches are ignored and leave the parser state as it was.
    void ParseParam(std::string_view param, bool isSwitch);

    std::string inputName;   // first plain file argument; empty until given
    std::string outputName;  // second plain file argument; empty until given
    int dialogFlag = 0;      // 1 after the "dialog" switch
    int callerWindow = 0;    // the "window" switch's value, 0 if none
    ParserState state = ParserState::FileName;

  private:
    void ParseSwitch(const std::string& word);
    void ParseValue(std::string_view value);

    CompressionSettings& settings_;
};

// Whether `word` (lower-cased, without its leading character) is one of the switch words:
// "codec", "quality", "dialog", "registry", "window", "thumbnail".
bool IsSwitchWord(std::string_view word);

// Hands each of `args` (the arguments after the program's own name) to `info.ParseParam`. A
// word that begins with "-" is a switch; a word that begins with "/" is a switch only when the
// rest is a switch word, otherwise it is an absolute path. Where a number is expected (after
// "quality" or "window"), "-" followed by a digit is that number.
void ParseCommandLine(const std::vector<std::string>& args, CCompactorCommandLineInfo& info);
