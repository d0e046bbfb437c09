#include "Unit1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QKeyEvent>
#include <QPushButton>
#include <QSessionManager>
#include <algorithm>
#include <charconv>
#include <optional>

#include "CloseQuestion.h"
#include "LinkTargets.h"
#include "MainIcon.h"
#include "MatchSearch.h"
#include "OnScreenPlace.h"
#include "OpenFileDialog.h"
#include "ReplaceDictionaryQuestion.h"
#include "ResultsBox.h"
#include "SaveProgressDialog.h"
#include "ShowError.h"
#include "StatusTexts.h"
#include "WindowSearchHost.h"
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

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

// BUKVOTOK_RESULTS_LIMIT: bytes, digits only.
std::optional<std::size_t> ResultsLimitFromEnvironment() {
    const QByteArray value = qgetenv("BUKVOTOK_RESULTS_LIMIT");
    const char* const end = value.constData() + value.size();
    std::size_t limit = 0;
    const auto [stop, error] = std::from_chars(value.constData(), end, limit);
    if (value.isEmpty() || error != std::errc() || stop != end) return std::nullopt;
    return limit;
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
    // A smaller box, to reach what happens when it is full in seconds rather than in an hour.
    if (const auto limit = ResultsLimitFromEnvironment()) {
        ui_->Memo1->SetCapacity(std::min(*limit, ui_->Memo1->Capacity()));
    }
    connect(
        qApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& manager) {
            CommitData({[&manager] { return manager.allowsInteraction(); },
                        [&manager] { manager.release(); }, [&manager] { manager.cancel(); }});
        },
        Qt::DirectConnection);
}

TForm1::~TForm1() = default;

void TForm1::SetStatus(std::string_view text) { bukvotok::ShowStatus(*ui_->Label4, text); }

void TForm1::Button2Click() {
    bukvotok::RunCommand([this] {
        SetStatus(bukvotok::kLoadingStatus.View());
        // The new status shows before the dialog opens.
        QCoreApplication::processEvents();
        if (const auto path = OpenDialog1->AskForPath()) {
            dictionary_.LoadDictionary(PathBytes(*path), &dictionary_file_);
        }
        SetStatus(bukvotok::kLoadedStatus.View());
    });
}

void TForm1::Button4Click() {
    ++running_searches_;
    bukvotok::RunCommand([this] {
        bukvotok::WindowSearchHost host(*ui_->Label4, *ui_->CheckBox1, *ui_->Memo1, dictionary_);
        try {
            bukvotok::RunSearch(host, dictionary_);
        } catch (const bukvotok::ResultsFullError&) {
            // The box's own limit is no fault of the search: it has stopped, and says so.
            // Any other error leaves the status as it stood.
            SetStatus(bukvotok::kStoppedStatus.View());
            throw;
        } catch (const bukvotok::ResultsKeptError&) {
            // The user chose to keep removed text over searching on: stopped, as asked.
            SetStatus(bukvotok::kStoppedStatus.View());
        }
    });
    --running_searches_;
    // A close asked for during the search takes effect once no search runs any more.
    if (running_searches_ == 0 && close_requested_) {
        close_requested_ = false;
        close();
    }
}

void TForm1::Button5Click() {
    bukvotok::RunCommand([this] { SaveResults(); });
}

bool TForm1::SaveResults() {
    const auto path = OpenDialog1->AskForPath();
    if (!path) return false;
    const std::string file = PathBytes(*path);
    if (dictionary_file_ && bukvotok::IdentityOf(file) == dictionary_file_ &&
        !bukvotok::AskToReplaceDictionary(*path)) {
        return false;
    }
    // What an earlier save put in this file is gone from it once the file is written, whether
    // the save succeeds or not.
    if (const auto before = bukvotok::IdentityOf(file)) {
        std::erase_if(saves_, [&](const auto& save) {
            if (save.first != *before) return false;
            ui_->Memo1->ForgetSave(save.second);
            return true;
        });
    }
    const std::vector<std::string_view> pieces = ui_->Memo1->ResultsPieces();
    bukvotok::SaveWithProgress(*this, file, pieces);
    const std::uint64_t save = ui_->Memo1->MarkSaved();
    if (const auto saved = bukvotok::IdentityOf(file)) saves_.emplace_back(*saved, save);
    return true;
}

void TForm1::Button1Click() { ui_->Memo1->Clear(); }

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
    // Closing inside a running search would leave it running in a hidden window; instead the
    // window stays until the stop box ends the search, and closes then, asking as any close.
    if (running_searches_ > 0) {
        close_requested_ = true;
        event->ignore();
        return;
    }
    if (!MayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool TForm1::MayClose() {
    bukvotok::ResultsBox& results = *ui_->Memo1;
    if (close_agreed_at_ == results.Changes()) return true;
    switch (bukvotok::AskBeforeClosing(results)) {
        case bukvotok::CloseAnswer::kClose:
            return true;
        case bukvotok::CloseAnswer::kKeepOpen:
            return false;
        case bukvotok::CloseAnswer::kSaveFirst:
            break;
    }
    // A save that fails, or is cancelled, keeps the window open.
    bool saved = false;
    bukvotok::RunCommand([&] { saved = SaveResults(); });
    return saved;
}

void TForm1::CommitData(const SessionEnd& session) {
    // Without leave to ask, nothing can be asked or saved: the session manager decides.
    if (!bukvotok::ClosingLosesResults(*ui_->Memo1) || !session.allows_interaction()) return;
    const bool may_close = MayClose();
    session.release();
    if (!may_close) {
        session.cancel();
        return;
    }
    // The close that ends the session asks no more, unless the results change meanwhile.
    close_agreed_at_ = ui_->Memo1->Changes();
}
