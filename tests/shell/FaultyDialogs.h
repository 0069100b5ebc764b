#pragma once
// The person's side of the app where the beep or a message box itself fails (no sound device, a
// dialog that cannot be shown): the failing calls throw, everything else goes on to the scripted
// person. Reinstalls that scripted person when it goes.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "support/ScriptedDialogs.h"

class FaultyDialogs : public fw::Dialogs {
  public:
    FaultyDialogs(ScriptedDialogs& person, bool beepFails,
                  std::function<bool(const std::string&)> messageFails)
        : person_(person), beepFails_(beepFails), messageFails_(std::move(messageFails)) {
        fw::InstallDialogs(this);
    }
    ~FaultyDialogs() override { fw::InstallDialogs(&person_); }

    // What was attempted and failed, in order: "beep" or the message's text.
    const std::vector<std::string>& Failed() const { return failed_; }

    void Beep() override {
        if (beepFails_) {
            failed_.push_back("beep");
            throw std::runtime_error("the beep failed");
        }
        person_.Beep();
    }
    void MsgBox(const std::string& text) override {
        if (messageFails_ && messageFails_(text)) {
            failed_.push_back(text);
            throw std::runtime_error("the message box failed");
        }
        person_.MsgBox(text);
    }
    std::string ShowMessageDialog(const fw::MessageDialogRequest& request) override {
        return person_.ShowMessageDialog(request);
    }
    std::optional<std::filesystem::path> GetSaveFile(const fw::FileType& filter,
                                                     const std::string& defaultName) override {
        return person_.GetSaveFile(filter, defaultName);
    }
    std::optional<std::filesystem::path> GetOpenFile(const fw::FileType& filter) override {
        return person_.GetOpenFile(filter);
    }
    bool PageSetupDialog(fw::PrinterSetup& setup) override {
        return person_.PageSetupDialog(setup);
    }
    std::unique_ptr<fw::Graphics> OpenPrinterDialog(const fw::PrinterSetup* setup) override {
        return person_.OpenPrinterDialog(setup);
    }
    void ShowModalWindow(fw::Window& window) override { person_.ShowModalWindow(window); }

  private:
    ScriptedDialogs& person_;
    bool beepFails_;
    std::function<bool(const std::string&)> messageFails_;
    std::vector<std::string> failed_;
};
