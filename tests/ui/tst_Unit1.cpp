// The main window driven as a user would: its buttons, the one file dialog, the error box, and
// commands run inside a running search.

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include "ApplicationTitle.h"
#include "Cp1251.h"
#include "FailingDisk.h"
#include "FakeSearchHost.h"
#include "GrowingArray.h"
#include "LetterGenerator.h"
#include "LinearDictionary.h"
#include "ModelSearch.h"
#include "OnScreenPlace.h"
#include "OpenFileDialog.h"
#include "Question.h"
#include "ResultsBox.h"
#include "ResultsFile.h"
#include "SaveProgressDialog.h"
#include "ShowError.h"
#include "Unit1.h"

namespace {

const QString kLoading = QStringLiteral("Статус: Загрузка словаря!");
const QString kLoaded = QStringLiteral("Статус: Загрузка словаря выполнена!");
const QString kSearching = QStringLiteral("Статус: Поиск совпадений!");
const QString kStopped = QStringLiteral("Статус: Поиск совпадений остановлен!");
const QString kSaveFirst =
    QStringLiteral("Найденное не сохранено в файл. Сохранить его перед закрытием окна?");

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

// Runs `action` on the next modal widget of type T as soon as it is up.
template <typename T>
void WhenModal(std::function<void(T*)> action) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

// Answers the next file dialog with a path, or cancels it for an empty one; `offered` receives
// what the dialog offered, and `first` runs while it shows.  One watch a dialog: two would
// race for it.
void AnswerFileDialog(const QString& path, QString* offered = nullptr,
                      std::function<void()> first = {}) {
    WhenModal<QFileDialog>([path, offered, first](QFileDialog* dialog) {
        if (first) first();
        if (offered) {
            const QStringList files = dialog->selectedFiles();
            *offered = files.isEmpty() ? QString() : files.front();
        }
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // As if typed: a user's typing clears the file the dialog offered from its list, which
        // here only happens while the name field has the keyboard focus.
        for (auto* view : dialog->findChildren<QAbstractItemView*>()) view->clearSelection();
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

// Runs `action` on the first dialog of type T that shows, at the event loop's next pass.
template <typename T>
class WhenShown : public QObject {
public:
    explicit WhenShown(std::function<void(T*)> action) : action_(std::move(action)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<T*>(watched);
        if (dialog && event->type() == QEvent::Show && action_) {
            QTimer::singleShot(0, this, [action = std::move(action_), dialog] { action(dialog); });
            action_ = nullptr;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(T*)> action_;
};

}  // namespace

class TestUnit1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsAsLaidOut();
    void loadShowsItsStatusesAndRemembersThePath();
    void returnAndEnterPressTheFocusedButton();
    void returnConfirmsTheTypedPathWhateverTheListHasSelected();
    void aLongSaveShowsItsProgressAndTakesNoInput();
    void savingOverTheLoadedDictionaryAsksFirst();
    void aDiskThatFailsTheWindowsSaveKeepsWhatWasWritten();
    void commandsInsideARunningSearch();
    void closeDuringASearchWaitsForTheStopBox();
    void closingAsksAboutWhatWouldBeLost_data();
    void closingAsksAboutWhatWouldBeLost();
    void aSaveMarksTheStateOfTheTextThatTheFileHolds();
    void wordsRunningOutOfMemoryPartWayLeaveWhatOneByOneWould();
    void errorBoxIsTitledAndAddsTheFullStop();
    void applicationTitleFromPath_data();
    void applicationTitleFromPath();
    void placeOnScreen_data();
    void placeOnScreen();

private:
    template <typename T>
    T* Child(const char* name) {
        return form_->findChild<T*>(QString::fromLatin1(name));
    }
    QString Status() { return Child<QLabel>("Label4")->text(); }
    QString Results() {
        return QString::fromStdString(
            bukvotok::Cp1251ToUtf8(Child<bukvotok::ResultsBox>("Memo1")->ResultsText()));
    }
    QString Dictionary(const QString& name, const QString& utf8_lines) {
        const QString path = dir_->filePath(name);
        WriteAll(path, QByteArray::fromStdString(bukvotok::Utf8ToCp1251(utf8_lines.toStdString())));
        return path;
    }
    void Load(const QString& path) {
        AnswerFileDialog(path);
        Child<QPushButton>("Button2")->click();
    }
    // Ticks the stop box once the search has run for a while, from inside the search.
    void StopLater(int ms) {
        QTimer::singleShot(ms, this, [this] { Child<QCheckBox>("CheckBox1")->setChecked(true); });
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TForm1> form_;
    QStringList errors_;
};

void TestUnit1::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    errors_.clear();
    bukvotok::ReplaceErrorBox(
        [this](const QString&, const QString& text) { errors_.append(text); });
    bukvotok::SetRandomState(0);
    form_ = std::make_unique<TForm1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void TestUnit1::cleanup() {
    form_.reset();
    bukvotok::ReplaceErrorBox({});
}

void TestUnit1::startsAsLaidOut() {
    QCOMPARE(form_->windowTitle(), QStringLiteral("Буквоток"));
    QCOMPARE(Status(), QStringLiteral("Label4"));
    QVERIFY(!Child<QCheckBox>("CheckBox1")->isChecked());
    QCOMPARE(Results(), QString());
    QCOMPARE(form_->focusWidget(), Child<QWidget>("Button2"));  // Enter loads at once
    const QIcon icon = form_->windowIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(!icon.availableSizes().isEmpty());
    QVERIFY(icon.availableSizes().front().width() >= 32);
    // Positions relative to the client area, and the tab order of the layout.
    const QList<std::pair<const char*, QRect>> places = {
        {"Button2", {8, 8, 161, 25}},   {"Button4", {176, 8, 161, 25}},
        {"Memo1", {8, 80, 329, 113}},   {"Button5", {176, 38, 161, 27}},
        {"CheckBox1", {8, 40, 81, 23}}, {"Button1", {96, 40, 73, 25}},
    };
    for (const auto& [name, rect] : places) {
        QCOMPARE(Child<QWidget>(name)->geometry(), rect);
    }
    QWidget* widget = Child<QWidget>("Button2");
    for (const char* next : {"Button4", "Memo1", "Button5", "CheckBox1", "Button1"}) {
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus) widget = widget->nextInFocusChain();
        QCOMPARE(widget->objectName(), QString::fromLatin1(next));
    }
    // Labels fit their texts and stay clear of each other on the bottom line.
    const QRect info = Child<QLabel>("Label1")->geometry();
    const QRect site = Child<QLabel>("Grlink1")->geometry();
    const QRect word_and = Child<QLabel>("Label2")->geometry();
    const QRect forum = Child<QLabel>("Grlink2")->geometry();
    QVERIFY(info.right() < site.left());
    QVERIFY(site.right() < word_and.left() || site.right() < forum.left());
    QVERIFY(word_and.right() < forum.left());

    // Made smaller than its controls, the window scrolls instead of cutting them off.
    auto* scroll = Child<QScrollArea>("ScrollBox");
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());
    form_->resize(200, 120);
    QTRY_VERIFY(scroll->horizontalScrollBar()->isVisible());
    QVERIFY(scroll->verticalScrollBar()->isVisible());
    QCOMPARE(Child<QWidget>("Button4")->geometry(), QRect(176, 8, 161, 25));
}

void TestUnit1::loadShowsItsStatusesAndRemembersThePath() {
    const QString path = Dictionary("words.txt", "кот\r\nум");
    QString status_during_dialog;
    AnswerFileDialog(path, nullptr, [&] { status_during_dialog = Status(); });
    Child<QPushButton>("Button2")->click();
    QCOMPARE(status_during_dialog, kLoading);
    QCOMPARE(Status(), kLoaded);
    auto* status = Child<QLabel>("Label4");
    QVERIFY(status->width() >= status->sizeHint().width());  // the line widens to its text
    QCOMPARE(form_->Dictionary().Count(), 2);

    // The save dialog offers the dictionary's path, and the next load the saved file's.
    QString offered;
    const QString saved = dir_->filePath("saved.txt");
    AnswerFileDialog(saved, &offered);
    Child<QPushButton>("Button5")->click();
    QCOMPARE(offered, path);
    AnswerFileDialog(QString(), &offered);
    Child<QPushButton>("Button2")->click();
    QCOMPARE(offered, saved);
}

void TestUnit1::returnAndEnterPressTheFocusedButton() {
    Child<QCheckBox>("CheckBox1")->setChecked(true);  // the search runs one pass
    const QList<std::tuple<const char*, Qt::Key, bool>> presses = {
        {"Button2", Qt::Key_Return, true},
        {"Button4", Qt::Key_Enter, false},
        {"Button5", Qt::Key_Return, true},
        {"Button1", Qt::Key_Return, false}};
    for (const auto& [name, key, opens_dialog] : presses) {
        auto* button = Child<QPushButton>(name);
        QSignalSpy clicks(button, &QPushButton::clicked);
        if (opens_dialog) AnswerFileDialog(QString());  // cancelled
        button->setFocus();
        QTest::keyClick(button, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(clicks.count(), 1);
    }
    QCOMPARE(Status(), kStopped);
}

// Return confirms the path the user typed, whatever the dialog did meanwhile: on a busy machine the
// listing of a folder the typing passed through comes in late, and Qt selects the folder in the
// list and writes a bare name into the field.  A name clicked in the listing after the typing is
// what the user wants instead.  While the name's completion list shows, the keys go to the list.
void TestUnit1::returnConfirmsTheTypedPathWhateverTheListHasSelected() {
    const auto confirmed = [](std::function<void(bukvotok::OpenFileDialog*, QLineEdit*)> act,
                              bool in_completions = false) {
        bukvotok::OpenFileDialog dialog(nullptr);
        WhenShown<bukvotok::OpenFileDialog> answer([=](bukvotok::OpenFileDialog* shown) {
            auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            edit->setFocus();
            edit->clear();
            act(shown, edit);
            QTest::keyClick(
                in_completions ? static_cast<QWidget*>(edit->completer()->popup()) : edit,
                Qt::Key_Return);
            // A Return that did not confirm leaves the dialog up: it is closed here instead.
            QTimer::singleShot(0, shown, [shown] { shown->reject(); });
        });
        return dialog.AskForPath(QString()).value_or(QString());
    };
    QTemporaryDir elsewhere;
    QVERIFY(QDir(elsewhere.path()).mkdir(QStringLiteral("folder")));
    const QString typed = dir_->filePath(QStringLiteral("results.txt"));
    QVERIFY(QFile(typed + QStringLiteral(".old")).open(QIODevice::WriteOnly));  // a completion
    for (const bool in_completions : {false, true}) {
        const auto act = [&](bukvotok::OpenFileDialog* shown, QLineEdit* edit) {
            QTest::keyClicks(edit, typed);
            shown->selectFile(QDir(elsewhere.path()).filePath(QStringLiteral("folder")));
            edit->setText(QStringLiteral("results.txt"));
            if (!in_completions) return;
            QTRY_VERIFY(edit->completer()->completionCount() > 0);
            edit->completer()->complete();
            QVERIFY(edit->completer()->popup()->isVisible());
        };
        QCOMPARE(confirmed(act, in_completions), typed);
    }

    const QString picked = dir_->filePath(QStringLiteral("picked.txt"));
    QVERIFY(QFile(picked).open(QIODevice::WriteOnly));
    QCOMPARE(confirmed([&](bukvotok::OpenFileDialog* shown, QLineEdit* edit) {
                 shown->setDirectory(dir_->path());
                 QTest::keyClicks(edit, QStringLiteral("res"));
                 QAbstractItemView* view = nullptr;
                 for (const char* name : {"listView", "treeView"}) {
                     auto* each = shown->findChild<QAbstractItemView*>(QLatin1String(name));
                     if (each && each->isVisible()) view = each;
                 }
                 QVERIFY(view);
                 const auto* files = static_cast<QFileSystemModel*>(view->model());
                 QTRY_VERIFY(!view->visualRect(files->index(picked)).isEmpty());
                 QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                   view->visualRect(files->index(picked)).center());
                 edit->setFocus();
             }),
             picked);
}

void TestUnit1::aLongSaveShowsItsProgressAndTakesNoInput() {
    auto* memo = Child<bukvotok::ResultsBox>("Memo1");
    std::string text;
    for (int i = 0; text.size() <= bukvotok::kSaveChunkBytes; ++i) text += ' ' + std::to_string(i);
    memo->SetResultsText(text);
    memo->setFocus();
    // At the first chance it gives the window to repaint: what the dialog says, and a click on
    // "Очистить", a key for the box and an Escape for the dialog, as the window system sends them.
    QString shown;
    bool still_up = false;
    WhenShown<bukvotok::SaveProgressDialog> watch([&](bukvotok::SaveProgressDialog* dialog) {
        shown = dialog->findChild<QLabel*>()->text();
        const QWidget* clear = Child<QWidget>("Button1");
        QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, {},
                          clear->mapTo(form_.get(), clear->rect().center()));
        QTest::keyClick(form_->windowHandle(), Qt::Key_X);
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
        still_up = dialog->isVisible();
    });
    const auto delay = bukvotok::SetSaveProgressDelay(std::chrono::milliseconds{0});
    const QString saved = dir_->filePath("saved.txt");
    AnswerFileDialog(saved);
    Child<QPushButton>("Button5")->click();
    bukvotok::SetSaveProgressDelay(delay);
    QCOMPARE(shown, QStringLiteral("Сохранение найденного в файл: 1 из 2 МБ"));
    QVERIFY(still_up);
    QCOMPARE(memo->ResultsText(), text);
    QCOMPARE(ReadAll(saved).toStdString(), text);
    QVERIFY(!form_->findChild<bukvotok::SaveProgressDialog*>());
    QVERIFY(errors_.isEmpty());
}

// Saving over the loaded dictionary asks first (MainWindow's rule, window_tests): the question's
// own box names the file as the dialog gave it, and "Нет" is its default, so Return writes
// nothing.
void TestUnit1::savingOverTheLoadedDictionaryAsksFirst() {
    const QString words = Dictionary("words.txt", "кот\r\nум");
    const QByteArray list = ReadAll(words);
    Load(words);
    Child<bukvotok::ResultsBox>("Memo1")->SetResultsText(" y");
    QStringList buttons;
    QString text;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        for (QAbstractButton* button : box->buttons()) buttons << button->text();
        buttons << box->defaultButton()->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    AnswerFileDialog(words);
    Child<QPushButton>("Button5")->click();
    QCOMPARE(text, QStringLiteral("Файл «%1» — загруженный словарь. Записать найденное вместо "
                                  "словаря?")
                       .arg(words));
    std::sort(buttons.begin(), buttons.end() - 1);
    QCOMPARE(buttons,
             (QStringList{QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("Нет")}));
    QCOMPARE(ReadAll(words), list);
}

// The window saves through the results file's own writer, its failures and all, with the
// progress dialog up: the error box, the file keeping what went in, the dialog gone.
void TestUnit1::aDiskThatFailsTheWindowsSaveKeepsWhatWasWritten() {
    auto* memo = Child<bukvotok::ResultsBox>("Memo1");
    std::string text;
    for (int i = 0; text.size() <= 2 * bukvotok::kSaveChunkBytes; ++i) {
        text += ' ' + std::to_string(i);
    }
    memo->SetResultsText(text);
    const auto delay = bukvotok::SetSaveProgressDelay(std::chrono::milliseconds{0});
    const std::size_t room = bukvotok::kSaveChunkBytes + 100;
    using Failure = bukvotok::FailingDisk::Failure;
    const QString saved = dir_->filePath("saved.txt");
    for (const auto& [failure, kept] :
         {std::pair{Failure::kShortWrite, room}, std::pair{Failure::kFull, room},
          std::pair{Failure::kClose, text.size()}}) {
        errors_.clear();
        AnswerFileDialog(saved);
        {
            const bukvotok::FailingDisk disk(failure, room);
            Child<QPushButton>("Button5")->click();
        }
        QCOMPARE(errors_, QStringList{QStringLiteral("Stream write error.")});
        QVERIFY(ReadAll(saved).toStdString() == text.substr(0, kept));
        QVERIFY(!form_->findChild<bukvotok::SaveProgressDialog*>());
        QVERIFY(memo->ResultsText() == text);
        QVERIFY(!memo->Saved());  // what the file holds is no text of the box
    }
    bukvotok::SetSaveProgressDelay(delay);
}

void TestUnit1::commandsInsideARunningSearch() {
    Load(Dictionary("words.txt", "кот\r\nкит\r\nум\r\nа\r\nон\r\nдом\r\nмир\r\nмы"));
    const QString saved = dir_->filePath("during.txt");
    QString results_at_save;
    QString status_during_search;
    QTimer::singleShot(100, this, [&] {
        status_during_search = Status();
        Child<QPushButton>("Button1")->click();  // clear
        QTimer::singleShot(100, this, [&] {
            results_at_save = Results();
            AnswerFileDialog(saved);
            Child<QPushButton>("Button5")->click();
            StopLater(100);
        });
    });
    Child<QPushButton>("Button4")->click();
    QCOMPARE(status_during_search, kSearching);
    QCOMPARE(Status(), kStopped);
    QVERIFY(!results_at_save.isEmpty());
    QVERIFY(results_at_save.startsWith(QLatin1Char(' ')));
    QCOMPARE(QString::fromStdString(bukvotok::Cp1251ToUtf8(ReadAll(saved).toStdString())),
             results_at_save);
    QVERIFY(Results().startsWith(results_at_save));
}

void TestUnit1::closeDuringASearchWaitsForTheStopBox() {
    Load(Dictionary("words.txt", "кот\r\nкит\r\nум\r\nа\r\nон"));
    // The close, asked for during the search, asks about the unsaved words once it has ended.
    QStringList asked;
    bukvotok::ReplaceThreeWayBox([&](const QString&, const QString& text) {
        asked << text + " " + Status();
        return bukvotok::Answer::kNo;
    });
    bool visible_after_close = false;
    QTimer::singleShot(50, this, [&] {
        form_->close();
        form_->close();
        visible_after_close = form_->isVisible();
        StopLater(50);
    });
    Child<QPushButton>("Button4")->click();
    bukvotok::ReplaceThreeWayBox({});
    QVERIFY(visible_after_close);
    QVERIFY(!form_->isVisible());
    QCOMPARE(asked, QStringList{kSaveFirst + " " + kStopped});
}

void TestUnit1::closingAsksAboutWhatWouldBeLost_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("answer");  // bukvotok::Answer, to whichever question comes; -1: Escape
    QTest::addColumn<QString>("save_as");  // the file dialog's answer after "Да"
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<bool>("closes");
    // The rules of the question are MainWindow's (window_tests); here the box's own editing
    // and the question's own box.
    const int no = int(bukvotok::Answer::kNo);
    QTest::newRow("unsaved, Escape")
        << QStringList{"words"} << -1 << "" << QStringList{kSaveFirst} << false;
    QTest::newRow("saved, typed into, undone")
        << QStringList{"words", "save", "type", "undo"} << no << "" << QStringList() << true;
    QTest::newRow("saved, typed into")
        << QStringList{"words", "save", "type"} << no << "" << QStringList{kSaveFirst} << true;
}

// The title bar's close, Alt+F4 and the window manager's all come as a close of the window.
void TestUnit1::closingAsksAboutWhatWouldBeLost() {
    QFETCH(QStringList, steps);
    QFETCH(int, answer);
    QFETCH(QString, save_as);
    QFETCH(QStringList, asked);
    QFETCH(bool, closes);
    QStringList questions;
    bukvotok::ReplaceThreeWayBox([&](const QString&, const QString& question) {
        questions << question;
        if (answer == int(bukvotok::Answer::kYes)) {
            AnswerFileDialog(save_as.isEmpty() ? QString() : dir_->filePath(save_as));
        }
        return static_cast<bukvotok::Answer>(answer);
    });
    bukvotok::ReplaceQuestionBox([&](const QString&, const QString& question) {
        questions << question;
        return answer == int(bukvotok::Answer::kYes);
    });
    auto* memo = Child<bukvotok::ResultsBox>("Memo1");
    const std::string text(20000, 'w');
    for (const QString& step : steps) {
        if (step == "words") {
            memo->SetResultsText(text);
        } else if (step == "save") {
            AnswerFileDialog(dir_->filePath("saved.txt"));
            Child<QPushButton>("Button5")->click();
        } else if (step == "type") {
            QTest::keyClick(memo, Qt::Key_X);
        } else if (step == "undo") {
            memo->Undo();
        }
    }
    if (answer == -1) {  // the box itself
        bukvotok::ReplaceThreeWayBox({});
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            questions << box->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
    }
    form_->close();
    bukvotok::ReplaceThreeWayBox({});
    bukvotok::ReplaceQuestionBox({});
    QCOMPARE(questions, asked);
    QCOMPARE(!form_->isVisible(), closes);
    if (!save_as.isEmpty()) QVERIFY(ReadAll(dir_->filePath(save_as)).toStdString() == text);
    QCOMPARE(errors_, QStringList());
}

// "Saved" belongs to a state of the text: undo and redo back to it find it saved, and what they
// take out of it is in the file, until another text is saved over that file.
void TestUnit1::aSaveMarksTheStateOfTheTextThatTheFileHolds() {
    auto* memo = Child<bukvotok::ResultsBox>("Memo1");
    memo->SetResultsText(std::string(20000, 'w'));
    const QString file = dir_->filePath("saved.txt");
    AnswerFileDialog(file);
    Child<QPushButton>("Button5")->click();
    QVERIFY(memo->Saved());
    Child<QPushButton>("Button1")->click();
    QVERIFY(!memo->Saved());
    memo->Undo();
    QVERIFY(memo->Saved());
    memo->Redo();
    QVERIFY(!memo->Saved());
    QCOMPARE(memo->Kept().Total(), std::size_t{0});  // the cleared text is in the file
    QTest::keyClick(memo, Qt::Key_X);
    AnswerFileDialog(file);
    Child<QPushButton>("Button5")->click();
    QVERIFY(memo->Saved());
    QCOMPARE(memo->Kept().Total(), std::size_t{20000});  // and now in no file
}

// Memory runs out as the box begins a new block, part way through the words handed over
// together: the words before stay, followed by the caret and laid out, and the generator stands
// after the failing word's pass, as appending each word alone leaves it.
void TestUnit1::wordsRunningOutOfMemoryPartWayLeaveWhatOneByOneWould() {
    static bukvotok::ResultsBox* memo = nullptr;
    memo = Child<bukvotok::ResultsBox>("Memo1");
    Load(Dictionary("a.txt", "а"));
    constexpr std::size_t kBlock = bukvotok::BlockBytes::kBlockSize;
    static std::uint64_t lines_version = 0;  // when memory ran out
    // Only once the block is full: a layout thread that shares the last block makes the next
    // append copy it before then, and that copy, failing first, would leave nothing to tell.
    bukvotok::growing_array_fails_for_tests = [] {
        lines_version = memo->Lines().Version();
        return memo->ResultsSize() >= kBlock;
    };
    Child<QPushButton>("Button4")->click();  // returns when the error has ended it
    bukvotok::growing_array_fails_for_tests = nullptr;
    QCOMPARE(errors_.size(), 1);
    const std::size_t size = memo->ResultsSize();
    QVERIFY(size > kBlock - 16 && size <= kBlock);
    QCOMPARE(memo->ResultsText(),
             bukvotok::Utf8ToCp1251(
                 QString(" а").repeated(static_cast<qsizetype>(size / 2)).toStdString()));
    QCOMPARE(memo->CaretOffset(), size);
    QVERIFY(memo->Lines().Version() != lines_version);  // told of the words that went in
    const std::uint32_t state = bukvotok::RandomState();

    // The host of the search as described, whose word after those fails.
    struct FailingHost : bukvotok::FakeSearchHost {
        using FakeSearchHost::FakeSearchHost;
        std::string GetResultsText() override { return {}; }
        void SetResultsText(std::string) override {
            if (++words == failing) throw std::bad_alloc();
        }
        std::size_t words = 0;
        std::size_t failing = 0;
    } host(UINT64_MAX);
    host.failing = size / 2 + 1;
    bukvotok::SetRandomState(0);
    const bukvotok::LinearDictionary a({bukvotok::Utf8ToCp1251("а")});
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, bukvotok::ModelSearch(host, a).Run());
    QCOMPARE(state, bukvotok::RandomState());
}

void TestUnit1::errorBoxIsTitledAndAddsTheFullStop() {
    bukvotok::ReplaceErrorBox({});
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        format = box->textFormat();
        box->accept();
    });
    bukvotok::ShowError("Cannot open file \"/tmp/<b>x</b>\". No such file or directory");
    QCOMPARE(title, bukvotok::ApplicationTitle());
    QCOMPARE(text,
             QStringLiteral("Cannot open file \"/tmp/<b>x</b>\". No such file or directory."));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(format, Qt::PlainText);  // a file name is never read as markup
}

void TestUnit1::applicationTitleFromPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("extension") << "/opt/WORDS.EXE"
                               << "Words";
    QTest::newRow("no extension") << "/usr/bin/bukvotok"
                                  << "bukvotok";
    QTest::newRow("first dot") << "/a.b/Tool.Name.bin"
                               << "Tool";
    QTest::newRow("cyrillic") << "/x/ПРОГРАММА"
                              << "Программа";
    QTest::newRow("cut at 255 bytes")
        << "/" + QString(300, QLatin1Char('A')) << "A" + QString(253, 'a');
}

void TestUnit1::applicationTitleFromPath() {
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(bukvotok::ApplicationTitleFromPath(path), title);
}

// The window's outer frame at the laid-out place (749, 191), here with openbox's 1 + 1 by
// 20 + 5 pixels around the client area, or whatever frame is given.
void TestUnit1::placeOnScreen_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("place");
    const QRect laid_out(749, 191, 346, 264);
    QTest::newRow("large screen") << laid_out << QRect(0, 0, 1920, 1080) << QPoint(749, 191);
    QTest::newRow("just fits") << laid_out << QRect(0, 0, 1095, 455) << QPoint(749, 191);
    QTest::newRow("800x600") << laid_out << QRect(0, 0, 800, 600) << QPoint(454, 191);
    // QT_SCALE_FACTOR=2 on 1280 x 1024: the laid-out place lies wholly off the 640 x 512.
    QTest::newRow("scale 2") << laid_out << QRect(0, 0, 640, 512) << QPoint(294, 191);
    QTest::newRow("short screen") << laid_out << QRect(0, 0, 1280, 400) << QPoint(749, 136);
    QTest::newRow("panel above and left")
        << QRect(10, 5, 346, 264) << QRect(48, 30, 800, 600) << QPoint(48, 30);
    QTest::newRow("second monitor") << laid_out << QRect(1920, 0, 1280, 1024) << QPoint(1920, 191);
    QTest::newRow("larger than the screen")
        << QRect(749, 191, 700, 600) << QRect(0, 0, 640, 480) << QPoint(0, 0);
}

void TestUnit1::placeOnScreen() {
    QFETCH(QRect, frame);
    QFETCH(QRect, available);
    QFETCH(QPoint, place);
    QCOMPARE(bukvotok::PlaceOnScreen(frame, available), place);
    // The window follows the rule on the test's screen, 800 x 600, by the frame of 2 pixels
    // that it gets once shown.
    QCOMPARE(form_->frameGeometry().size(), form_->size().grownBy(QMargins(2, 2, 2, 2)));
    QCOMPARE(form_->pos(),
             bukvotok::PlaceOnScreen(QRect(QPoint(749, 191), form_->frameGeometry().size()),
                                     form_->screen()->availableGeometry()));
    QVERIFY(form_->screen()->availableGeometry().contains(form_->frameGeometry()));
}

QTEST_MAIN(TestUnit1)
#include "tst_Unit1.moc"
