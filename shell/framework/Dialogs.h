#pragma once
// The one seam through which the app meets the person at the keyboard: every modal message,
// question, file chooser, page setup and print dialog, and the beep. The app installs the Qt
// implementation; tests install a scripted one that records what the person would have seen.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace fw {

class FileType;
class Graphics;
class PrinterSetup;
class Window;

// What a MessageDialog asks: the pressed button is reported by its caption.
struct MessageDialogRequest {
    std::string title;
    std::string message;
    std::string explanation;
    std::string actionCaption = "OK";
    std::string cancelCaption = "Cancel";
    bool cancelVisible = false;
    // Return presses the cancel button rather than the action button (Escape always does).
    bool cancelDefault = false;
    std::string alternateCaption;
    bool alternateVisible = false;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    virtual void Beep() = 0;
    // Shows a modal message box and returns when the person has dismissed it.
    virtual void MsgBox(const std::string& text) = 0;
    // Returns the caption of the button that closed the dialog (the cancel caption when it was
    // closed any other way).
    virtual std::string ShowMessageDialog(const MessageDialogRequest& request) = 0;
    // Chosen file, or nothing when cancelled.
    virtual std::optional<std::filesystem::path> GetSaveFile(const FileType& filter,
                                                             const std::string& defaultName) = 0;
    virtual std::optional<std::filesystem::path> GetOpenFile(const FileType& filter) = 0;
    // Lets the person change the setup; true when confirmed (the setup then holds the choice).
    virtual bool PageSetupDialog(PrinterSetup& setup) = 0;
    // The surface of a print job for the chosen printer, or nothing when cancelled. The setup, when
    // given, decides the page layout of the job.
    virtual std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup) = 0;
    // Shows a window modally and returns when it has been closed.
    virtual void ShowModalWindow(Window& window) = 0;
};

// The installed seam. Installing nullptr puts the Qt implementation back.
Dialogs& CurrentDialogs();
void InstallDialogs(Dialogs* dialogs);

// The Qt implementation, for the app.
std::unique_ptr<Dialogs> MakeQtDialogs();

// Shorthands in the vocabulary the app's code is written in.
void Beep();
void MsgBox(const std::string& text);

}  // namespace fw
