#include "Unit1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QKeyEvent>
#include <QPushButton>
#include <QSessionManager>

#include "LinkTargets.h"
#include "MainIcon.h"
#include "OnScreenPlace.h"
#include "OpenFileDialog.h"
#include "Question.h"
#include "ReplaceDictionaryQuestion.h"
#include "ResultsBox.h"
#include "SaveProgressDialog.h"
#include "ShowError.h"
#include "StatusLine.h"
#include "ui_Unit1.h"

namespace {

// The window was laid out for "MS Sans Serif" at 11 pixels.  Where it is missing, a sans face
// of similar width with Cyrillic letters takes its place.
QFont WindowFont() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans")});
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TForm1>()) {
    setFont(WindowFont());
    ui_->setupUi(this);
    // setupUi sizes the client area; the window's frame goes at the laid-out place, as far as
    // the screen allows.
    new bukvotok::OnScreenPlace(*this, QPoint(749, 191));
    setWindowIcon(bukvotok::MainIcon());
    OpenDialog1 = new bukvotok::OpenFileDialog(this);
    window_ = std::make_unique<bukvotok::MainWindow>(*this, *ui_->Memo1);

    ui_->Grlink1->setText(bukvotok::kSiteAddress);
    ui_->Grlink1->setURL(bukvotok::kSiteAddress);
    ui_->Grlink2->setText(bukvotok::kForumAddress);
    ui_->Grlink2->setURL(bukvotok::kForumAddress);
    // Labels fit their texts, as the status line must when its text grows.
    for (QLabel* label : {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4,
                          static_cast<QLabel*>(ui_->Grlink1), static_cast<QLabel*>(ui_->Grlink2)}) {
        label->adjustSize();
    }
    for (QPushButton* button : {ui_->Button2, ui_->Button4, ui_->Button5, ui_->Button1}) {
        button->installEventFilter(this);
    }
    ui_->Button2->setFocus();
    connect(ui_->CheckBox1, &QCheckBox::toggled, this,
            [this](bool checked) { window_->StopBoxChanged(checked); });
    connect(
        qApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& manager) {
            CommitData({[&manager] { return manager.allowsInteraction(); },
                        [&manager] { manager.release(); }, [&manager] { manager.cancel(); }});
        },
        Qt::DirectConnection);
}

TForm1::~TForm1() = default;

void TForm1::ShowStatus(std::string_view text) { bukvotok::ShowStatus(*ui_->Label4, text); }

void TForm1::ProcessPendingEvents() { QCoreApplication::processEvents(); }

void TForm1::WaitForEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::optional<bukvotok::NativePath> TForm1::AskForPath(const bukvotok::NativePath& offered) {
    const auto path =
        OpenDialog1->AskForPath(QFile::decodeName(QByteArray::fromStdString(offered)));
    if (!path) return std::nullopt;
    return QFile::encodeName(*path).toStdString();
}

bool TForm1::AskToReplaceDictionary(const bukvotok::NativePath& path) {
    return bukvotok::AskToReplaceDictionary(QFile::decodeName(QByteArray::fromStdString(path)));
}

bukvotok::Answer TForm1::AskYesNoCancel(std::string_view question) {
    return bukvotok::AskYesNoCancel(
        QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())));
}

bool TForm1::AskQuestion(std::string_view question) {
    return bukvotok::AskQuestion(
        QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())));
}

void TForm1::SaveWithProgress(const bukvotok::NativePath& path,
                              std::span<const std::string_view> pieces) {
    bukvotok::SaveWithProgress(*this, path, pieces);
}

void TForm1::ShowError(std::string_view message) { bukvotok::ShowError(message); }

// Outside a dialog Qt's push buttons answer Space only; here Return and Enter press the focused
// button as well, as they do on the desktops our users come from.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && !key->isAutoRepeat() &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing inside a running search would leave it running in a hidden window: MainWindow
    // keeps the window until the search ends.
    if (!window_->CloseAsked()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
