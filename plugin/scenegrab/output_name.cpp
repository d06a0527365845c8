#include "plugin/scenegrab/output_name.h"

#include <cstdio>

namespace scenegrab {

OutputName SplitOutputName(const std::string& fileName) {
    const std::size_t lastSlash = fileName.rfind('/');
    for (std::size_t i = 1; i <= 4; ++i) {
        if (fileName.size() < i + 1)
            break;
        const std::size_t dot = fileName.size() - (i + 1);
        if (lastSlash != std::string::npos && dot <= lastSlash)
            break;
        if (fileName[dot] == '.')
            return {fileName.substr(0, dot), fileName.substr(dot)};
    }
    return {fileName, {}};
}

std::string MakeOutputName(const OutputName& name, bool sequence, int counter) {
    if (!sequence)
        return name.baseName + name.extension;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", counter);
    return name.baseName + digits + name.extension;
}

}  // namespace scenegrab
