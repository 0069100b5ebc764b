#include "framework/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/PrintDialogsQt.h"
#include "framework/Printing.h"
#include "framework/Window.h"

namespace fw {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString FilterFor(const FileType& type) {
    QStringList patterns;
    for (const QString& ext : Q(type.Extensions).split(';', Qt::SkipEmptyParts)) {
        patterns << (ext.startsWith('.') ? QStringLiteral("*") + ext : QStringLiteral("*.") + ext);
    }
    return Q(type.Name) + QStringLiteral(" (") + patterns.join(' ') + QStringLiteral(")");
}

class QtDialogs : public Dialogs {
  public:
    void Beep() override { QApplication::beep(); }

    void MsgBox(const std::string& text) override {
        QMessageBox box;
        box.setWindowTitle(QApplication::applicationName());
        box.setText(Q(text));
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }

    std::string ShowMessageDialog(const MessageDialogRequest& request) override {
        QMessageBox box;
        box.setWindowTitle(request.title.empty() ? QApplication::applicationName()
                                                 : Q(request.title));
        box.setText(Q(request.message));
        box.setInformativeText(Q(request.explanation));
        QPushButton* action = box.addButton(Q(request.actionCaption), QMessageBox::AcceptRole);
        QPushButton* cancel = nullptr;
        if (request.cancelVisible) {
            cancel = box.addButton(Q(request.cancelCaption), QMessageBox::RejectRole);
            box.setEscapeButton(cancel);
        }
        QPushButton* alternate = nullptr;
        if (request.alternateVisible) {
            alternate = box.addButton(Q(request.alternateCaption), QMessageBox::DestructiveRole);
        }
        box.setDefaultButton(cancel && request.cancelDefault ? cancel : action);
        box.exec();
        QAbstractButton* pressed = box.clickedButton();
        if (pressed == action)
            return request.actionCaption;
        if (alternate && pressed == alternate)
            return request.alternateCaption;
        return request.cancelCaption;
    }

    std::optional<std::filesystem::path> GetSaveFile(const FileType& filter,
                                                     const std::string& defaultName) override {
        QString chosen = QFileDialog::getSaveFileName(
            nullptr, QString(), QDir::home().filePath(Q(defaultName)), FilterFor(filter));
        if (chosen.isEmpty())
            return std::nullopt;
        return std::filesystem::path(chosen.toStdString());
    }

    std::optional<std::filesystem::path> GetOpenFile(const FileType& filter) override {
        QString chosen =
            QFileDialog::getOpenFileName(nullptr, QString(), QDir::homePath(), FilterFor(filter));
        if (chosen.isEmpty())
            return std::nullopt;
        return std::filesystem::path(chosen.toStdString());
    }

    bool PageSetupDialog(PrinterSetup& setup) override { return QtPageSetupDialog(setup); }

    std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup) override {
        return QtOpenPrinterDialog(setup);
    }

    void ShowModalWindow(Window& window) override {
        QWidget* widget = window.NativeWidget();
        widget->setWindowModality(Qt::ApplicationModal);
        widget->show();
        widget->raise();
        widget->activateWindow();
        while (!window.IsClosed() && widget->isVisible()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
};

Dialogs* installed = nullptr;

}  // namespace

Dialogs& CurrentDialogs() {
    static std::unique_ptr<Dialogs> qtDialogs = MakeQtDialogs();
    return installed ? *installed : *qtDialogs;
}

void InstallDialogs(Dialogs* dialogs) {
    installed = dialogs;
}

std::unique_ptr<Dialogs> MakeQtDialogs() {
    return std::make_unique<QtDialogs>();
}

void Beep() {
    CurrentDialogs().Beep();
}

void MsgBox(const std::string& text) {
    CurrentDialogs().MsgBox(text);
}

}  // namespace fw
