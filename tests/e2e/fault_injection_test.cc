// Faults from outside, as they really happen: full disks and read-only folders
// (small tmpfs mounts, so these run as root only), inputs that change during a
// run, and templates that are not what they seem. Each time the app says what
// went wrong, keeps working, and every file that was there before is unchanged.
#include <sys/mount.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/main_window_fixture.h"

namespace tabulon::test {
namespace {

namespace fs = std::filesystem;
using Snapshot = std::map<std::string, std::string>;

// Every regular file below `folder` with its bytes.
Snapshot snapshot(const std::string& folder) {
    Snapshot files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("script", 0) == 0) continue;  // the dialogs' own script and log
        if (entry.is_regular_file()) files[entry.path().string()] = readFile(entry.path().string());
    }
    return files;
}

// Files of `before` that are missing or changed now.
std::vector<std::string> changedSince(const Snapshot& before) {
    std::vector<std::string> changed;
    for (const auto& [path, bytes] : before) {
        if (!fs::exists(path) || readFile(path) != bytes) changed.push_back(path);
    }
    return changed;
}

// A tmpfs of its own at `path` with `kilobytes` of room (read-only when 0),
// unmounted again at the end.
class Mount {
  public:
    Mount(const std::string& path, int kilobytes) : path_(path) {
        fs::create_directories(path);
        std::string size = "size=" + std::to_string(kilobytes) + "k";
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", path.c_str(), "tmpfs",
                                               kilobytes > 0 ? 0 : MS_RDONLY, size.c_str()) == 0;
    }
    ~Mount() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }

  private:
    std::string path_;
    bool mounted_ = false;
};

class FaultTest : public MainWindowTest {
  protected:
    std::string lastMessage() {
        std::vector<std::string> log = dialogLog();
        return log.empty() ? std::string() : log.back();
    }
    // Quits: the preferences could not be saved, and no file of `before` changed.
    void quitUnsaved(const Snapshot& before) {
        quit();
        EXPECT_PRED2(contains, lastMessage(), "The preferences could not be saved.");
        EXPECT_TRUE(changedSince(before).empty());
    }
    // The app still converts: a small document to a good place.
    bool stillConverts() {
        writeFile(dir.file("check.txt"), "Name: Cy\n");
        answerDialogs({dir.file("check.out")});
        std::remove(dir.file("check.out").c_str());
        window->openDocument(QString::fromStdString(dir.file("check.txt")));
        return !readFile(dir.file("check.out")).empty();
    }
};

#define REQUIRE_MOUNT(m) \
    if (!(m).mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs"

// A conversion onto a full disk and into a read-only folder; then, at quit, the
// preferences into a read-only folder.
TEST_F(FaultTest, ConversionOntoAFullDiskOrAReadOnlyFolder) {
    Mount disk(dir.file("full"), 64), output(dir.file("output"), 0), config(dir.file("config"), 0);
    REQUIRE_MOUNT(disk);
    skipFirstStartCopy();
    writeFile(dir.file("big.txt"), repeat("Name: someone\nEmail: someone@example.org\n", 25000));
    writeFile(dir.file("full/out.txt"), "an older conversion");
    Snapshot before = snapshot(dir.path());
    open();
    for (auto [out, reason] : {std::pair{"full/out.txt", "No space left on device"},
                               {"output/out.txt", "Read-only file system"}}) {
        answerDialogs({dir.file(out)});
        window->openDocument(QString::fromStdString(dir.file("big.txt")));
        EXPECT_PRED2(contains, lastMessage(), reason);
        EXPECT_PRED2(contains, lastMessage(), out);
        EXPECT_TRUE(stillConverts());
    }
    EXPECT_EQ(snapshot(dir.file("full")).size(), 1u);  // no partial output left
    quitUnsaved(before);
}

// The template and, at quit, the preferences, each on a disk that is full.
TEST_F(FaultTest, SavesOnAFullDisk) {
    Mount templates(dir.file("templates"), 64), config(dir.file("config"), 64);
    REQUIRE_MOUNT(templates);
    skipFirstStartCopy();
    writeFile(dir.file("templates/Field Names"), "Name:\rEmail:\r");
    writeFile(dir.file("templates/Orders"), "Item:\r");
    writePrefs("false\nfalse\nField Names\ntrue\n10\n50\n10\n50\n" + dir.file("templates/") + "\n");
    for (const char* disk : {"templates/filler", "config/filler"})  // both disks full
        writeFile(dir.file(disk), std::string(64 << 10, 'f'));
    Snapshot before = snapshot(dir.file("templates"));
    before.merge(snapshot(dir.file("config")));
    open();
    window->FieldInsertButton_Action();
    window->PopupMenu1->setCurrentIndex(window->PopupMenu1->findText(QStringLiteral("Orders")));
    EXPECT_PRED2(contains, lastMessage(), "The field names could not be saved.");
    EXPECT_PRED2(contains, lastMessage(), "No space left on device");
    EXPECT_EQ(rows(), (std::vector<std::string>{"Item:"}));  // the chosen template is shown
    window->CheckBox2->click();
    quitUnsaved(before);
}

TEST_F(FaultTest, HomeThatCannotBeWritten) {
    Mount home(dir.file("home"), 0);
    REQUIRE_MOUNT(home);
    ::setenv("HOME", dir.file("home/ann").c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
    Snapshot before = snapshot(dir.path());
    Window1& w = open();
    // Nothing could be copied: said so, and the templates beside the app serve.
    EXPECT_PRED2(
        contains, dialogLog().front(),
        "Some templates could not be copied to " + dir.file("home/ann/.local/share/Tabulon/"));
    EXPECT_EQ(w.myfilepath.toStdString(), ":Templates:");
    EXPECT_EQ(rows(), (std::vector<std::string>{"Name:", "Email:"}));
    EXPECT_TRUE(stillConverts());
    quitUnsaved(before);
}

TEST_F(FaultTest, InputChangingDuringARun) {
    skipFirstStartCopy();
    open();
    const std::string big = repeat("Name: someone\nEmail: someone@example.org\n", 1000000);
    struct Case {
        const char* name;
        std::function<void(const std::string&)> change;
        bool reported;
    };
    for (const Case& c :
         {Case{"shrinks", [](const std::string& p) { fs::resize_file(p, 1000); }, true},
          Case{"grows", [](const std::string& p) { std::ofstream(p, std::ios::app) << "x\n"; },
               true},
          Case{"disappears", [](const std::string& p) { fs::remove(p); }, false}}) {
        std::string input = dir.file(std::string(c.name) + ".txt");
        writeFile(input, big);
        writeFile(dir.file("script.log"), "");
        answerDialogs({input + ".out"});
        QTimer::singleShot(0, window.get(), [&] { c.change(input); });
        window->openDocument(QString::fromStdString(input));
        EXPECT_EQ(contains(lastMessage(), "changed while it was being converted"), c.reported)
            << c.name << ": " << lastMessage();
        EXPECT_FALSE(readFile(input + ".out").empty()) << c.name;
    }
    EXPECT_TRUE(stillConverts());
}

TEST_F(FaultTest, TemplatesThatAreNotTemplates) {
    skipFirstStartCopy();
    fs::create_directories(appTemplates() + "a folder");
    fs::create_symlink("/dev/zero", appTemplates() + "a device");
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>(i * 131 % 256);
    writeFile(appTemplates() + "binary", binary);
    Snapshot before = snapshot(appTemplates());
    // (A huge template is refused as the device is: LineReader.RefusesWhatIsNotASmallFile.)
    for (const char* name : {"a folder", "a device"}) {
        writePrefs(std::string("false\nfalse\n") + name + "\nfalse\n10\n50\n10\n50\n:Templates:\n");
        writeFile(dir.file("script.log"), "");
        open();
        EXPECT_EQ(lastMessage(), "message An error occurred reading the field names file.") << name;
        EXPECT_TRUE(rows().empty()) << name;
        quit();
    }
    writePrefs("false\nfalse\nbinary\nfalse\n10\n50\n10\n50\n:Templates:\n");
    open();
    EXPECT_GT(rows().size(), 1u);
    EXPECT_TRUE(stillConverts());
    quit();
    EXPECT_TRUE(changedSince(before).empty());
}

}  // namespace
}  // namespace tabulon::test
