#include "framework/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "framework/Application.h"
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

// While a modal window is up its own window is in front, and the menu items follow it; once it
// has gone they are set again for the window now in front, as a menu about to open would.
class MenusRefreshedAfterwards {
  public:
    MenusRefreshedAfterwards() = default;
    MenusRefreshedAfterwards(const MenusRefreshedAfterwards&) = delete;
    MenusRefreshedAfterwards& operator=(const MenusRefreshedAfterwards&) = delete;
    // Runs while a failure may already be on its way out, where a second one would end the
    // program: a refresh that fails is dropped, and the items are set again when a menu opens.
    ~MenusRefreshedAfterwards() {
        try {
            if (Application* app = Application::Current(); app && !app->IsQuitting())
                app->EnableMenuItems();
        } catch (...) {
        }
    }
};

// Ends a modal run once its window has been hidden for good (closed, or hidden by the program),
// as QDialog::exec ends; a minimised window is still visible and does not end it.
class EndsWhenHidden : public QObject {
  public:
    EndsWhenHidden(QWidget& widget, QEventLoop& loop) : widget_(&widget), loop_(loop) {
        widget.installEventFilter(this);
        connect(&widget, &QObject::destroyed, &loop_, &QEventLoop::quit);
    }
    ~EndsWhenHidden() override {
        if (widget_)
            widget_->removeEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Hide && !widget_->isVisible())
            loop_.quit();
        return false;
    }

  private:
    QPointer<QWidget> widget_;  // the window may be destroyed once it has closed
    QEventLoop& loop_;
};

class QtDialogs : public Dialogs {
  public:
    void Beep() override { QApplication::beep(); }

    void MsgBox(const std::string& text) override {
        const MenusRefreshedAfterwards refresh;
        QMessageBox box;
        box.setWindowTitle(QApplication::applicationName());
        box.setText(Q(text));
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }

    std::string ShowMessageDialog(const MessageDialogRequest& request) override {
        const MenusRefreshedAfterwards refresh;
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
        const MenusRefreshedAfterwards refresh;
        QString chosen = QFileDialog::getSaveFileName(
            nullptr, QString(), QDir::home().filePath(Q(defaultName)), FilterFor(filter));
        if (chosen.isEmpty())
            return std::nullopt;
        return std::filesystem::path(chosen.toStdString());
    }

    std::optional<std::filesystem::path> GetOpenFile(const FileType& filter) override {
        const MenusRefreshedAfterwards refresh;
        QString chosen =
            QFileDialog::getOpenFileName(nullptr, QString(), QDir::homePath(), FilterFor(filter));
        if (chosen.isEmpty())
            return std::nullopt;
        return std::filesystem::path(chosen.toStdString());
    }

    bool PageSetupDialog(PrinterSetup& setup) override {
        const MenusRefreshedAfterwards refresh;
        return QtPageSetupDialog(setup);
    }

    std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup) override {
        const MenusRefreshedAfterwards refresh;
        return QtOpenPrinterDialog(setup);
    }

    void ShowModalWindow(Window& window) override {
        const MenusRefreshedAfterwards refresh;
        if (window.IsClosed())
            return;
        QWidget* widget = window.NativeWidget();
        // Qt makes a window modal only as it is shown, and a window usually shows itself as it
        // opens: one already on screen goes off and comes back modal.
        if (widget->windowModality() != Qt::ApplicationModal) {
            widget->hide();
            widget->setWindowModality(Qt::ApplicationModal);
        }
        QEventLoop loop;
        const EndsWhenHidden end(*widget, loop);
        widget->show();
        widget->raise();
        widget->activateWindow();
        if (widget->isVisible())
            loop.exec(QEventLoop::DialogExec);
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
