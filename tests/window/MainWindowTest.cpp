// The main window's behaviour through a fake face, over the results box both faces give it (the
// real editor, through a fake face of its own): what each command shows, asks, loads and
// writes, commands run inside a running search, and the close.  The user acts inside the
// search's pumps, as the face's event loop would let them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Cp1251.h"
#include "DictionaryFile.h"
#include "EditorResults.h"
#include "FakeResultsFace.h"
#include "LetterGenerator.h"
#include "MainWindow.h"
#include "ResultsErrors.h"
#include "ResultsFile.h"
#include "StatusTexts.h"
#include "TestFiles.h"
#include "WindowFace.h"
#include "WindowSearchHost.h"

namespace bukvotok {
namespace {

const std::string kLoading(kLoadingStatus.View());
const std::string kLoaded(kLoadedStatus.View());
const std::string kSearching(kSearchingStatus.View());
const std::string kStopped(kStoppedStatus.View());
const std::string kSaveFirst = "Найденное не сохранено в файл. Сохранить его перед закрытием окна?";

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    const auto size = std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

class FakeFace : public WindowFace {
public:
    void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }
    void ProcessPendingEvents() override {
        ++pumps;
        if (on_pump) on_pump();
    }
    void WaitForEvents() override {
        ++waits;
        if (on_pump) on_pump();
    }
    std::optional<NativePath> AskForPath(const NativePath& shown) override {
        offered.push_back(shown);
        if (on_dialog) on_dialog();
        if (paths.empty()) return std::nullopt;
        auto path = paths.front();
        paths.pop_front();
        return path;
    }
    bool AskToReplaceDictionary(const NativePath& path) override {
        questions.push_back("replace " + MessagePath(path));
        return yes;
    }
    Answer AskYesNoCancel(std::string_view question) override {
        questions.emplace_back(question);
        return answer;
    }
    bool AskQuestion(std::string_view question) override {
        questions.emplace_back(question);
        return answer == Answer::kYes;
    }
    void SaveWithProgress(const NativePath& path,
                          std::span<const std::string_view> pieces) override {
        SaveResultsFile(path, pieces, [](std::uint64_t, std::uint64_t) {});
    }
    void ShowError(std::string_view message) override {
        errors.emplace_back(message);
        if (on_error) on_error();
    }
    void CloseWindow() override { closed = window->CloseAsked(); }

    MainWindow* window = nullptr;
    std::vector<std::string> statuses;
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    std::deque<std::optional<NativePath>> paths;  // the dialog's answers; none: cancelled
    std::vector<NativePath> offered;
    Answer answer = Answer::kNo;
    bool yes = false;
    bool closed = false;
    int pumps = 0;
    int waits = 0;
    std::function<void()> on_pump;  // the user's acts, inside a search's pumps
    std::function<void()> on_dialog;
    std::function<void()> on_error;
};

// Every reading of the pump clock a millisecond later: each clock read pumps.
std::chrono::steady_clock::time_point EveryReadLater() {
    static std::chrono::steady_clock::time_point now;
    return now += std::chrono::milliseconds(1);
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        SetRandomState(0);
        face_.window = &window_;
        steady_ = SetPumpClock(&EveryReadLater);
    }
    ~MainWindowTest() override { SetPumpClock(steady_); }

    NativePath Dictionary(std::string_view name, std::string_view utf8_lines) {
        return dir_.Write(name, Utf8ToCp1251(utf8_lines));
    }
    void Load(std::optional<NativePath> path) {
        face_.paths.push_back(std::move(path));
        window_.Button2Click();
    }
    void Save(std::optional<NativePath> path) {
        face_.paths.push_back(std::move(path));
        window_.Button5Click();
    }
    std::string Results() const { return Cp1251ToUtf8(results_.ResultsText()); }
    // The statuses shown since the last call.
    std::vector<std::string> Statuses() { return std::exchange(face_.statuses, {}); }

    TempDir dir_;
    FakeFace face_;
    FakeResultsFace box_;
    EditorResults results_{box_.editor};
    MainWindow window_{face_, results_};
    PumpClock steady_;
};

TEST_F(MainWindowTest, LoadShowsItsStatusesAndTheDialogOffersTheLastPath) {
    const NativePath words = Dictionary("words.txt", "кот\r\nум");
    std::vector<std::string> during_dialog;
    face_.on_dialog = [&] { during_dialog = face_.statuses; };
    Load(words);
    EXPECT_EQ(during_dialog, std::vector<std::string>{kLoading});
    EXPECT_EQ(Statuses(), (std::vector<std::string>{kLoading, kLoaded}));
    EXPECT_EQ(window_.Dictionary().Count(), 2);

    // One dialog for both commands: a save offers the dictionary's path, a load the saved one;
    // a cancelled dialog leaves the path it offered.
    const NativePath saved = dir_.Path("saved.txt");
    Save(std::nullopt);
    Save(saved);
    Load(std::nullopt);  // cancelled: the dictionary stays, and the load says it is done
    EXPECT_EQ(face_.offered, (std::vector<NativePath>{NativePath(), words, words, saved}));
    EXPECT_EQ(Statuses(), (std::vector<std::string>{kLoading, kLoaded}));
    EXPECT_EQ(window_.Dictionary().Count(), 2);

    // A failed load ends at its first status, with one error, and keeps the dictionary.
    const NativePath missing = dir_.Path("missing.txt");
    Load(missing);
    SetDictionarySizeLimit(4);
    Load(Dictionary("large.txt", "кот\r\nкит"));
    SetDictionarySizeLimit(0);
    ASSERT_EQ(face_.errors.size(), 2u);
    EXPECT_EQ(face_.errors[0].rfind("Cannot open file \"" + MessagePath(missing) + "\". ", 0), 0u);
    EXPECT_EQ(face_.errors[1],
              "Dictionary too large: more than 4 bytes, the most that can be loaded on this "
              "computer");
    EXPECT_EQ(Statuses(), (std::vector<std::string>{kLoading, kLoading}));
    EXPECT_EQ(window_.Dictionary().Count(), 2);
}

TEST_F(MainWindowTest, SaveWritesTheTextAsItIsAndClearEmptiesIt) {
    results_.SetResultsText(Utf8ToCp1251(" кот кит ум"));
    const NativePath path = dir_.Path("out.txt");
    Save(path);
    EXPECT_EQ(ReadAll(path), " \xEA\xEE\xF2 \xEA\xE8\xF2 \xF3\xEC");
    window_.Button1Click();
    EXPECT_EQ(Results(), "");
    Save(path);
    EXPECT_EQ(ReadAll(path), "");
    dir_.Write("out.txt", "kept");
    Save(std::nullopt);  // cancelled
    EXPECT_EQ(ReadAll(path), "kept");
    EXPECT_TRUE(face_.statuses.empty());  // neither touches the status line

    results_.SetResultsText(" words");
    const NativePath nowhere = dir_.Path("no-folder/out.txt");
    Save(nowhere);
    ASSERT_EQ(face_.errors.size(), 1u);
    EXPECT_EQ(face_.errors[0].rfind("Cannot create file \"" + MessagePath(nowhere) + "\". ", 0),
              0u);
    EXPECT_EQ(Results(), " words");
}

// The dialog offers the dictionary's path right after a load: saving over that file, by
// whatever path, asks first, and only "Да" writes.  Other files are replaced without a word.
TEST_F(MainWindowTest, SavingOverTheLoadedDictionaryAsksFirst) {
    const NativePath words = Dictionary("words.txt", "кот\r\nум");
    const NativePath hard_link = dir_.Path("hard.txt");
    std::filesystem::create_hard_link(std::filesystem::path(words), hard_link);
    std::vector<NativePath> same_file = {words, hard_link};
#ifndef _WIN32
    same_file.push_back(dir_.Path("link.txt"));
    std::filesystem::create_symlink(std::filesystem::path(words), same_file.back());
#endif
    const NativePath other = Dictionary("other.txt", "бык");
    results_.SetResultsText(" x");
    const auto asked_saving = [&](const NativePath& path) {
        face_.questions.clear();
        Save(path);
        return face_.questions;
    };
    Load(words);
    for (const NativePath& same : same_file) {
        EXPECT_EQ(asked_saving(same), std::vector<std::string>{"replace " + MessagePath(same)});
    }
    Load(dir_.Path("missing.txt"));  // a load that fails keeps the dictionary's file
    EXPECT_EQ(asked_saving(words).size(), 1u);
    EXPECT_EQ(ReadAll(words), Utf8ToCp1251("кот\r\nум"));  // "Нет" every time
    EXPECT_TRUE(asked_saving(other).empty());
    EXPECT_EQ(ReadAll(other), " x");
    face_.yes = true;
    EXPECT_EQ(asked_saving(hard_link).size(), 1u);
    EXPECT_EQ(ReadAll(words), " x");
    Load(other);
    EXPECT_TRUE(asked_saving(words).empty());
}

TEST_F(MainWindowTest, SearchWithTheStopBoxTickedRunsOnePass) {
    Load(Dictionary("a.txt", "а"));
    Statuses();
    window_.StopBoxChanged(true);
    window_.Button4Click();
    EXPECT_EQ(Results(), " а");  // a fresh generator draws а, and а again
    EXPECT_EQ(Statuses(), (std::vector<std::string>{kSearching, kStopped}));
}

// Clicks inside a running search run their commands at once; a load there leaves the walk on
// a list where its word begins nothing, which ends that search with the list's error and
// leaves the load's status; a search inside the search ends with the stop box, then the first.
TEST_F(MainWindowTest, CommandsInsideARunningSearch) {
    Load(Dictionary("words.txt", "кот\r\nкит\r\nум\r\nа\r\nон\r\nдом\r\nмир\r\nмы"));
    const NativePath saved = dir_.Path("during.txt");
    std::string at_save;
    std::vector<std::string> statuses;
    face_.on_pump = [&] {
        switch (face_.pumps) {
            case 3:
                window_.Button1Click();
                break;
            case 6:
                at_save = Results();
                Save(saved);
                break;
            case 9:
                statuses = Statuses();
                window_.Button4Click();  // a second search, ticked in its own pumps
                statuses.push_back(face_.statuses.back());
                break;
            case 12:
                window_.StopBoxChanged(true);
                break;
        }
    };
    Statuses();
    window_.Button4Click();
    EXPECT_EQ(statuses, (std::vector<std::string>{kSearching, kStopped}));
    EXPECT_EQ(face_.statuses.back(), kStopped);
    ASSERT_FALSE(at_save.empty());
    EXPECT_EQ(at_save[0], ' ');
    EXPECT_EQ(Cp1251ToUtf8(ReadAll(saved)), at_save);
    EXPECT_EQ(Results().rfind(at_save, 0), 0u);

    window_.StopBoxChanged(false);
    const NativePath other = Dictionary("other.txt", "бык\r\nвол\r\nгусь");
    bool loaded = false;
    face_.on_pump = [&] {
        if (results_.ResultsSize() > 0 && !std::exchange(loaded, true)) Load(other);
    };
    results_.Clear();
    Statuses();
    window_.Button4Click();  // returns when the error has ended it
    EXPECT_EQ(face_.errors, std::vector<std::string>{"List index out of bounds (-1)"});
    EXPECT_EQ(Statuses(), (std::vector<std::string>{kSearching, kLoading, kLoaded}));
}

// With nothing a walk can start from, the search waits for the user at each pass instead of
// spinning; each pass draws one letter.
TEST_F(MainWindowTest, SearchWithNothingToWalkWaitsForTheUser) {
    Load(Dictionary("ya.txt", "я\r\nЯма\r\nLatin"));
    const std::uint32_t start = RandomState();
    face_.on_pump = [&] {
        // A search that spun would come here only by its pumps.
        if (face_.waits == 5 || face_.pumps > 100) window_.StopBoxChanged(true);
    };
    window_.Button4Click();
    EXPECT_EQ(face_.waits, 5);
    const std::uint32_t end = RandomState();
    SetRandomState(start);
    for (int pass = 0; pass < 5; ++pass) RandomLetter();
    EXPECT_EQ(RandomState(), end);
    EXPECT_EQ(face_.statuses.back(), kStopped);
}

// The search runs the face's event loop only every millisecond or so, and never more than a
// millisecond and one run of steps between clock readings late.  The clock here moves with the
// letters the search draws, 5 ns a letter, whatever else the machine is doing.
std::uint32_t clock_state;
std::uint64_t clock_letters;
std::chrono::steady_clock::time_point LetterClock() {
    const std::uint32_t now = RandomState();
    SetRandomState(clock_state);
    for (; RandomState() != now; ++clock_letters) RandomLetter();
    clock_state = now;
    return std::chrono::steady_clock::time_point{} + std::chrono::hours(1) +
           std::chrono::nanoseconds(5 * clock_letters);
}

TEST_F(MainWindowTest, PumpsComeAboutAMillisecondApart) {
    Load(Dictionary("words.txt", "кот\r\nкит\r\nкитовый\r\nум\r\nа\r\nон\r\nдом"));
    constexpr std::uint64_t kMillisecond = 200'000;  // letters
    clock_state = RandomState();
    clock_letters = 0;
    std::vector<std::uint64_t> at;
    face_.on_pump = [&] {
        at.push_back(clock_letters);
        if (at.size() == 30) window_.StopBoxChanged(true);
    };
    SetPumpClock(&LetterClock);
    window_.Button4Click();
    ASSERT_EQ(at.size(), 30u);
    for (std::size_t i = 2; i < at.size(); ++i) {
        EXPECT_GE(at[i] - at[i - 1], kMillisecond) << i;
        EXPECT_LE(at[i] - at[i - 1], 2 * kMillisecond) << i;
    }
}

// The first pump comes at once, so the search's status shows before its first pass; after it,
// the steps the search counts instead of making bring the next clock reading as the steps would.
TEST_F(MainWindowTest, TheHostPumpsAtOnceThenAfterItsStepsCountedOrMade) {
    const bool unticked = false;
    WindowSearchHost host(face_, results_, window_.Dictionary(), unticked);
    host.ProcessPendingEvents();
    EXPECT_EQ(face_.pumps, 1);
    for (int step = 0; step < 5; ++step) host.ProcessPendingEvents();
    host.CountQuietCalls({.pumps = host.QuietCallsAhead().pumps});
    EXPECT_EQ(face_.pumps, 1);
    host.ProcessPendingEvents();
    EXPECT_EQ(face_.pumps, 2);
}

// BUKVOTOK_RESULTS_LIMIT makes the box small; a full box stops the search as the stop box
// would, with one error, everything found kept, and the words saved as they are.  Where
// cleared text kept for undo stands in the way, the box asks first: "Нет" stops the search
// quietly, "Да" lets the words take its place.
TEST_F(MainWindowTest, AFullResultsBoxEndsTheSearchWithItsResultsIntact) {
#ifdef _WIN32
    _putenv_s("BUKVOTOK_RESULTS_LIMIT", "10000");
#else
    setenv("BUKVOTOK_RESULTS_LIMIT", "10000", 1);
#endif
    FakeResultsFace box;
    EditorResults results(box.editor);
    FakeFace face;
    MainWindow window(face, results);
#ifdef _WIN32
    _putenv_s("BUKVOTOK_RESULTS_LIMIT", "");
#else
    unsetenv("BUKVOTOK_RESULTS_LIMIT");
#endif
    ASSERT_EQ(results.Capacity(), 10000u);
    face.window = &window;
    face.paths = {Dictionary("a.txt", "а")};
    window.Button2Click();
    const auto words = [](std::size_t count) {
        std::string spaced;
        for (std::size_t i = 0; i < count; ++i) spaced += Utf8ToCp1251(" а");
        return spaced;
    };
    const auto clear_kept = [&] {
        results.SetResultsText(std::string(5000, 'w'));
        window.Button1Click();
    };
    clear_kept();
    window.Button4Click();
    EXPECT_EQ(box.questions.size(), 1u);
    EXPECT_TRUE(face.errors.empty());
    EXPECT_EQ(face.statuses.back(), kStopped);
    EXPECT_GT(results.ResultsSize(), 4000u);
    EXPECT_TRUE(results.ResultsText() == words(results.ResultsSize() / 2));
    EXPECT_EQ(results.Kept().Total(), 5000u);

    clear_kept();
    box.answer = true;
    std::string status_under_the_error;
    face.on_error = [&] { status_under_the_error = face.statuses.back(); };
    // An inner search meets the full box first: one message for both.
    face.pumps = 0;
    face.on_pump = [&] {
        if (face.pumps == 1) window.Button4Click();
    };
    window.Button4Click();
    EXPECT_EQ(box.questions.size(), 2u);
    ASSERT_EQ(face.errors.size(), 1u);
    EXPECT_NE(face.errors[0].find("поиск остановлен"), std::string::npos);
    EXPECT_EQ(status_under_the_error, kStopped);
    EXPECT_EQ(face.statuses.back(), kStopped);
    EXPECT_TRUE(results.ResultsText() == words(5000));
    face.paths = {dir_.Path("saved.txt")};
    window.Button5Click();
    EXPECT_TRUE(ReadAll(dir_.Path("saved.txt")) == words(5000));
}

TEST_F(MainWindowTest, Utf8ListFindsWhatItsWindows1251TwinFinds) {
    const std::string sample = ReadAll(std::filesystem::path(BUKVOTOK_SAMPLE_DICTIONARY));
    const NativePath twin = dir_.Write("utf8.txt", "\xEF\xBB\xBF" + Cp1251ToUtf8(sample));
    window_.StopBoxChanged(true);  // every click runs one pass: the same passes for both lists
    std::vector<std::string> found;
    for (const NativePath& path :
         {std::filesystem::path(BUKVOTOK_SAMPLE_DICTIONARY).native(), twin}) {
        Load(path);
        window_.Button1Click();
        SetRandomState(0);
        for (int pass = 0; pass < 3000; ++pass) window_.Button4Click();
        found.push_back(results_.ResultsText());
    }
    EXPECT_GT(found[0].size(), 1000u);
    EXPECT_EQ(found[1], found[0]);
}

// A close asked for during a search waits for it to end, then asks as any close; kept open,
// the window does not ask again when a later search ends.
TEST_F(MainWindowTest, CloseDuringASearchWaitsForTheStopBox) {
    Load(Dictionary("words.txt", "кот\r\nкит\r\nум\r\nа\r\nон"));
    struct Run {
        bool close_inside;
        Answer answer;
        std::vector<std::string> asked;
        bool closed;
    };
    for (const Run& run : {Run{true, Answer::kCancel, {kSaveFirst}, false},
                           Run{false, Answer::kNo, {kSaveFirst}, false},
                           Run{true, Answer::kNo, {kSaveFirst, kSaveFirst}, true}}) {
        std::vector<bool> closes_at_once;
        face_.answer = run.answer;
        face_.pumps = 0;
        face_.on_pump = [&] {
            if (face_.pumps != 3) return;
            if (run.close_inside) closes_at_once = {window_.CloseAsked(), window_.CloseAsked()};
            window_.StopBoxChanged(true);
        };
        window_.StopBoxChanged(false);
        window_.Button4Click();
        EXPECT_EQ(closes_at_once, std::vector<bool>(run.close_inside ? 2 : 0, false));
        EXPECT_EQ(face_.questions, run.asked);
        EXPECT_EQ(face_.closed, run.closed);  // "Нет": closed without saving
    }
}

struct CloseCase {
    const char* name;
    std::vector<std::string> steps;
    Answer answer;        // to whichever question comes
    bool save_confirmed;  // the dialog after "Да"
    std::vector<std::string> asked;
    bool closes;
};

class ClosingAsks : public MainWindowTest, public ::testing::WithParamInterface<CloseCase> {};

const std::string kKept =
    "20 КБ удалённого текста ещё можно вернуть (Ctrl+Z), но он не сохранён. Закрыть окно и "
    "забыть его?";

INSTANTIATE_TEST_SUITE_P(
    , ClosingAsks,
    ::testing::Values(
        CloseCase{"EmptyBox", {}, Answer::kNo, false, {}, true},
        CloseCase{"UnsavedCancel", {"words"}, Answer::kCancel, false, {kSaveFirst}, false},
        CloseCase{"UnsavedNo", {"words"}, Answer::kNo, false, {kSaveFirst}, true},
        CloseCase{"UnsavedYes", {"words"}, Answer::kYes, true, {kSaveFirst}, true},
        CloseCase{"UnsavedYesSaveCancelled", {"words"}, Answer::kYes, false, {kSaveFirst}, false},
        CloseCase{"Saved", {"words", "save"}, Answer::kNo, false, {}, true},
        CloseCase{"SavedCleared", {"words", "save", "clear"}, Answer::kNo, false, {}, true},
        // The desktop's logout asks too; the close that ends the session asks no more, unless
        // the user kept the window.
        CloseCase{"UnsavedLogoutNo", {"words", "logout"}, Answer::kNo, false, {kSaveFirst}, true},
        CloseCase{"UnsavedLogoutCancel",
                  {"words", "logout"},
                  Answer::kCancel,
                  false,
                  {kSaveFirst, "no logout", kSaveFirst},
                  false},
        // Without the session manager's leave nothing is asked at logout; removed text kept
        // for undo is asked about there as when closing.
        CloseCase{"UnsavedLogoutUnasked",
                  {"words", "logout unasked"},
                  Answer::kCancel,
                  false,
                  {kSaveFirst},
                  false},
        CloseCase{"ClearedUnsavedLogoutNo",
                  {"words", "clear", "logout"},
                  Answer::kNo,
                  false,
                  {kKept, "no logout", kKept},
                  false},
        CloseCase{"ClearedUnsavedNo", {"words", "clear"}, Answer::kNo, false, {kKept}, false},
        CloseCase{"ClearedUnsavedYes", {"words", "clear"}, Answer::kYes, false, {kKept}, true}),
    [](const auto& each) { return std::string(each.param.name); });

TEST_P(ClosingAsks, AboutWhatWouldBeLost) {
    const CloseCase& row = GetParam();
    const NativePath out = dir_.Path("out.txt");
    const std::string text(20000, 'w');
    face_.answer = row.answer;
    for (const std::string& step : row.steps) {
        if (step == "words") {
            results_.SetResultsText(text);
        } else if (step == "save") {
            Save(dir_.Path("saved.txt"));
        } else if (step == "clear") {  // kept for undo, unless what it removed is in a file
            window_.Button1Click();
        } else if (step.starts_with("logout")) {
            const bool allowed = step == "logout";
            window_.CommitData(
                {[=] { return allowed; }, [] {}, [&] { face_.questions.push_back("no logout"); }});
        }
    }
    if (row.save_confirmed) face_.paths = {out};
    EXPECT_EQ(window_.CloseAsked(), row.closes);
    EXPECT_EQ(face_.questions, row.asked);
    if (row.save_confirmed) {
        EXPECT_EQ(ReadAll(out), text);
    }
    EXPECT_TRUE(face_.errors.empty());
    EXPECT_TRUE(box_.errors.empty());  // the box shows its own, the clear's among them
}

}  // namespace
}  // namespace bukvotok
