#pragma once
// Test helpers: a temporary folder that stands in for the user's configuration folder (and any
// other scratch files), a reader of the compressor's stored values, and a message recorder.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "apps/compactor/compactor_messages.h"

class QApplication;

// Points XDG_CONFIG_HOME at a fresh temporary folder for the test's lifetime and removes the
// folder afterwards, so tests never touch the real user configuration.
class TempConfigTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A path inside the temporary folder.
    std::string Scratch(const std::string& name) const { return (root_ / name).string(); }
    // The value `name` of section "Compression" in the INI file `relativeFile` under the
    // configuration folder ("Tavrin/Compactor.conf"), or nothing when absent.
    std::optional<int> StoredValue(const std::string& relativeFile, const std::string& name) const;
    // A message sink that appends each message to `messages_`.
    MessageSink Recorder() {
        return [this](std::string_view text) { messages_.emplace_back(text); };
    }

    std::vector<std::string> messages_;

    std::filesystem::path root_;
    std::filesystem::path config_;

  private:
    std::optional<std::string> savedConfigHome_;
};

// The one QApplication of the test program (offscreen), made on first use.
QApplication& TestApplication();
