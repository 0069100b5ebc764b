#pragma once
// Stands in for the person at the keyboard: records every message and beep in order and answers
// each prompt from a queue of expected prompts. A prompt nobody expected, or an expected prompt
// that never came, fails the test.

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Dialogs.h"

class QWidget;

class ScriptedDialogs : public fw::Dialogs {
  public:
    ScriptedDialogs();  // installs itself as the seam
    ~ScriptedDialogs() override;

    // Answers to the next prompts, in order.
    void ExpectConfirm(const std::string& pressedCaption);
    void ExpectSaveFile(std::optional<std::filesystem::path> chosen);
    void ExpectOpenFile(std::optional<std::filesystem::path> chosen);
    void ExpectPageSetup(std::function<bool(fw::PrinterSetup&)> answer);
    void ExpectPrint(std::function<std::unique_ptr<fw::Graphics>(const fw::PrinterSetup*)> answer);
    // Runs `whileShown` with the window on screen, then closes it.
    void ExpectModalWindow(std::function<void(fw::Window&)> whileShown = {});

    // What the person saw and heard, in order: "beep", "msgbox:<text>", "confirm:<message>",
    // "save:<default name>", "open", "pagesetup", "print", "window:<title>".
    const std::vector<std::string>& Log() const { return log_; }
    std::vector<std::string> Messages() const;  // the message box texts only
    int Beeps() const;
    void ClearLog() { log_.clear(); }
    // The last confirmation asked, in full.
    const fw::MessageDialogRequest& LastConfirmation() const { return lastConfirmation_; }
    bool AllAnswered() const { return expected_.empty(); }

    // fw::Dialogs
    void Beep() override;
    void MsgBox(const std::string& text) override;
    std::string ShowMessageDialog(const fw::MessageDialogRequest& request) override;
    std::optional<std::filesystem::path> GetSaveFile(const fw::FileType& filter,
                                                     const std::string& defaultName) override;
    std::optional<std::filesystem::path> GetOpenFile(const fw::FileType& filter) override;
    bool PageSetupDialog(fw::PrinterSetup& setup) override;
    std::unique_ptr<fw::Graphics> OpenPrinterDialog(const fw::PrinterSetup* setup) override;
    void ShowModalWindow(fw::Window& window) override;

    // The filter the last file dialog was given.
    const std::string& LastFilter() const { return lastFilter_; }

  private:
    struct Expectation {
        std::string kind;
        std::string caption;
        std::optional<std::filesystem::path> file;
        std::function<bool(fw::PrinterSetup&)> pageSetup;
        std::function<std::unique_ptr<fw::Graphics>(const fw::PrinterSetup*)> print;
        std::function<void(fw::Window&)> window;
    };
    std::optional<Expectation> Next(const std::string& kind);

    std::deque<Expectation> expected_;
    std::vector<std::string> log_;
    fw::MessageDialogRequest lastConfirmation_;
    std::string lastFilter_;
};

// While it lives, the app meets Qt's own dialogs and modal windows, as it does for a person; the
// scripted person it stood in for comes back when it goes.
class RealDialogs {
  public:
    RealDialogs();
    ~RealDialogs();
    RealDialogs(const RealDialogs&) = delete;
    RealDialogs& operator=(const RealDialogs&) = delete;

  private:
    fw::Dialogs* previous_;
};

// Runs `action` from inside the loop that waits for the next modal window, once that window is
// modal and has the keyboard. So that the test fails rather than waits for ever: when no window
// takes the keyboard within five seconds, `action(nullptr)` runs and every modal window up is
// dismissed; a window the action left up is dismissed five seconds later. Each is a failure.
void AtNextModal(std::function<void(QWidget* modal)> action);
