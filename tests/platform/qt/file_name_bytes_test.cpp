// Paths between Qt and the file system kept as bytes: dropped addresses, and the answers of
// file dialogs started in a folder or at a file whose name is not UTF-8.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QMimeData>
#include <QUrl>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/file_dialog_paths.h"
#include "platform/qt/qt_paths.h"

namespace platform {
namespace {

TEST(FileNameBytes, DroppedAddressesGiveTheBytesTheyEncode) {
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"),
                 "file:///t/Tour%E9/caf%E9.pan\r\n"
                 "https://example.com/a.pan\r\n"
                 "file:///t/caf%C3%A9%20x.pan\r\n"
                 "file://localhost/t/a.pan\r\n");
    EXPECT_EQ(
        DroppedLocalPaths(&data),
        (std::vector<std::string>{"/t/Tour\xe9/caf\xe9.pan", "/t/caf\xc3\xa9 x.pan", "/t/a.pan"}));
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/t/caf\u00e9.pan"))});
    EXPECT_EQ(DroppedLocalPaths(&data), (std::vector<std::string>{"/t/caf\xc3\xa9.pan"}));
    EXPECT_TRUE(DroppedLocalPaths(nullptr).empty());
}

TEST(FileNameBytes, DialogAnswersMapBackOntoTheBytesTheDialogStartedFrom) {
    std::string root = (std::filesystem::temp_directory_path() / "halvex-names-XXXXXX").string();
    ASSERT_NE(::mkdtemp(root.data()), nullptr);
    const std::string folder = root + "/Tour\xe9";
    const std::string file = folder + "/caf\xe9.pan";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const QString shownFolder = DialogPath(folder);
    const std::vector<std::string> starts{folder, file};
    const std::vector<std::string> none;

    const struct {
        const char* name;
        QString answer;
        const std::vector<std::string>& starts;
        std::optional<std::string> path;
    } cases[] = {
        {"the open file kept", DialogPath(file), starts, file},
        {"a new name in its folder", shownFolder + "/b.pan", starts, folder + "/b.pan"},
        {"a folder typed inside it", shownFolder + "/sub/b.pan", starts, folder + "/sub/b.pan"},
        {"a name that stands for unknown bytes", shownFolder + "/x\ufffd.pan", starts, {}},
        {"a UTF-8 place", DialogPath(root) + "/caf\u00e9.pan", starts, root + "/caf\xc3\xa9.pan"},
        {"no start to explain U+FFFD", shownFolder + "/b.pan", none, {}},
        {"a new name with U+FFFD beside no start", DialogPath(root) + "/x\ufffd.pan", none, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathOfDialogAnswer(c.answer, c.starts), c.path) << c.name;

    // Once a real folder is spelled as the dialog shows the start, the answer could mean either.
    const std::string lookalike = root + "/Tour\xef\xbf\xbd";
    ASSERT_EQ(::mkdir(lookalike.c_str(), 0700), 0);
    EXPECT_EQ(PathOfDialogAnswer(shownFolder + "/b.pan", starts), std::nullopt);
    EXPECT_EQ(PathOfDialogAnswer(shownFolder + "/b.pan", none), lookalike + "/b.pan");
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace platform
