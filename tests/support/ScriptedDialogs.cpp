#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/Printing.h"
#include "framework/Window.h"

ScriptedDialogs::ScriptedDialogs() {
    fw::InstallDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    fw::InstallDialogs(nullptr);
    for (const Expectation& e : expected_)
        ADD_FAILURE() << "expected prompt never came: " << e.kind;
}

void ScriptedDialogs::ExpectConfirm(const std::string& pressedCaption) {
    expected_.push_back({"confirm", pressedCaption, std::nullopt, {}, {}, {}});
}

void ScriptedDialogs::ExpectSaveFile(std::optional<std::filesystem::path> chosen) {
    expected_.push_back({"save", "", std::move(chosen), {}, {}, {}});
}

void ScriptedDialogs::ExpectOpenFile(std::optional<std::filesystem::path> chosen) {
    expected_.push_back({"open", "", std::move(chosen), {}, {}, {}});
}

void ScriptedDialogs::ExpectPageSetup(std::function<bool(fw::PrinterSetup&)> answer) {
    expected_.push_back({"pagesetup", "", std::nullopt, std::move(answer), {}, {}});
}

void ScriptedDialogs::ExpectPrint(
    std::function<std::unique_ptr<fw::Graphics>(const fw::PrinterSetup*)> answer) {
    expected_.push_back({"print", "", std::nullopt, {}, std::move(answer), {}});
}

void ScriptedDialogs::ExpectModalWindow(std::function<void(fw::Window&)> whileShown) {
    expected_.push_back({"window", "", std::nullopt, {}, {}, std::move(whileShown)});
}

std::optional<ScriptedDialogs::Expectation> ScriptedDialogs::Next(const std::string& kind) {
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << kind;
        return std::nullopt;
    }
    Expectation next = expected_.front();
    expected_.pop_front();
    if (next.kind != kind) {
        ADD_FAILURE() << "expected prompt " << next.kind << " but got " << kind;
        return std::nullopt;
    }
    return next;
}

std::vector<std::string> ScriptedDialogs::Messages() const {
    std::vector<std::string> messages;
    for (const std::string& entry : log_) {
        if (entry.rfind("msgbox:", 0) == 0)
            messages.push_back(entry.substr(7));
    }
    return messages;
}

int ScriptedDialogs::Beeps() const {
    int beeps = 0;
    for (const std::string& entry : log_) beeps += entry == "beep";
    return beeps;
}

void ScriptedDialogs::Beep() {
    log_.push_back("beep");
}

void ScriptedDialogs::MsgBox(const std::string& text) {
    log_.push_back("msgbox:" + text);
}

std::string ScriptedDialogs::ShowMessageDialog(const fw::MessageDialogRequest& request) {
    log_.push_back("confirm:" + request.message);
    lastConfirmation_ = request;
    auto next = Next("confirm");
    return next ? next->caption : request.cancelCaption;
}

std::optional<std::filesystem::path> ScriptedDialogs::GetSaveFile(const fw::FileType& filter,
                                                                  const std::string& defaultName) {
    log_.push_back("save:" + defaultName);
    lastFilter_ = filter.Name;
    auto next = Next("save");
    return next ? next->file : std::nullopt;
}

std::optional<std::filesystem::path> ScriptedDialogs::GetOpenFile(const fw::FileType& filter) {
    log_.push_back("open");
    lastFilter_ = filter.Name;
    auto next = Next("open");
    return next ? next->file : std::nullopt;
}

bool ScriptedDialogs::PageSetupDialog(fw::PrinterSetup& setup) {
    log_.push_back("pagesetup");
    auto next = Next("pagesetup");
    return next && next->pageSetup && next->pageSetup(setup);
}

std::unique_ptr<fw::Graphics> ScriptedDialogs::OpenPrinterDialog(const fw::PrinterSetup* setup) {
    log_.push_back("print");
    auto next = Next("print");
    if (!next || !next->print)
        return nullptr;
    return next->print(setup);
}

void ScriptedDialogs::ShowModalWindow(fw::Window& window) {
    log_.push_back("window:" + window.Title());
    auto next = Next("window");
    window.NativeWidget()->show();
    QCoreApplication::processEvents();
    if (next && next->window)
        next->window(window);
    window.Close();
}

RealDialogs::RealDialogs() : previous_(&fw::CurrentDialogs()) {
    fw::InstallDialogs(nullptr);
}

RealDialogs::~RealDialogs() {
    fw::InstallDialogs(previous_);
}

namespace {

// How long a test waits for a modal window to take the keyboard, and then for it to go.
constexpr std::chrono::seconds kModalBound(5);

// Ends the nested loop that waits for `modal`, whatever the window is.
void Dismiss(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
    // A window may refuse to close (a message box without an escape button does).
    if (modal->isVisible())
        modal->hide();
}

// Dismisses every modal window still up, so that whatever waits for one goes on.
void DismissAllModals() {
    for (int left = QApplication::topLevelWidgets().size(); left > 0; --left) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        Dismiss(modal);
    }
}

// Fails the test and dismisses a modal window that is still up kModalBound after the test acted
// on it. The wait ends when the window is hidden or destroyed, and the timer with it: a window that
// outlives its run (hidden, not destroyed) may be shown again later, by a later test even, and
// must not be failed and dismissed for the run that is over.
class StillUpBound : public QObject {
  public:
    explicit StillUpBound(QWidget& modal) : QObject(&modal), modal_(modal) {
        modal.installEventFilter(this);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] {
            ADD_FAILURE() << "the modal window was still up " << kModalBound.count()
                          << " seconds after the test acted on it";
            Dismiss(&modal_);
        });
        timer_.start(kModalBound);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &modal_ && event->type() == QEvent::Hide && !modal_.isVisible()) {
            // At once: a later loop may not run deferred deletes before the timer is due.
            timer_.stop();
            deleteLater();
        }
        return false;
    }

  private:
    QWidget& modal_;  // outlives this, its child
    QTimer timer_;
};

}  // namespace

void AtNextModal(std::function<void(QWidget* modal)> action) {
    auto* poll = new QTimer();
    const QDeadlineTimer deadline(kModalBound);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool ready = modal && QApplication::activeWindow() == modal;
        if (!ready && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (!ready) {
            ADD_FAILURE() << "no modal window took the keyboard";
            action(nullptr);
            // A window that came up without the keyboard would keep the test waiting for ever.
            DismissAllModals();
            return;
        }
        const QPointer<QWidget> acted(modal);
        action(modal);
        if (acted && acted->isVisible())
            new StillUpBound(*acted);
    });
    poll->start(5);
}
