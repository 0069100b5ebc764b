#include "about/AboutForm.h"

#include <stdexcept>

#include "about/AboutPictures.h"
#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"

namespace {

// A missing picture must end up in the window's error handling, not dereference null.
template <class T>
T& Existing(const std::shared_ptr<T>& pointer) {
    if (!pointer)
        throw std::runtime_error("the About picture is missing");
    return *pointer;
}

}  // namespace

void AboutForm::Layout() {
    fw::WindowProperties p;
    p.placement = 2;
    p.width = 495;
    p.height = 162;
    p.minWidth = 64;
    p.minHeight = 64;
    p.maxWidth = 32000;
    p.maxHeight = 32000;
    p.frame = 0;
    p.title = "About Larderon";
    p.visible = true;
    p.resizeable = false;
    p.closeButton = true;
    p.maximizeButton = false;
    p.minimizeButton = false;
    SetProperties(p);
}

void AboutForm::CreateControls() {
    CreateControls0();
}

void AboutForm::CreateControls0() {
    NewControl<fw::Canvas>("canImage");
    {
        fw::ControlProperties p;
        p.left = 20;
        p.top = 14;
        p.width = 128;
        p.height = 128;
        p.lockLeft = true;
        p.lockTop = true;
        p.tabIndex = 0;
        ControlByName<fw::Canvas>("canImage").SetProperties(p);
    }
    NewControl<fw::StaticText>("StaticText3");
    {
        fw::ControlProperties p;
        p.left = 160;
        p.top = 30;
        p.width = 315;
        p.height = 112;
        p.lockLeft = true;
        p.lockTop = true;
        p.tabIndex = 3;
        p.textAlign = 1;
        p.multiline = true;
        p.text =
            "Larderon\nA recipe book for your kitchen\n\nVersion 1.0\n\nMade with Qt and SQLite";
        ControlByName<fw::StaticText>("StaticText3").SetProperties(p);
    }
}

void AboutForm::AddMenuHandlers(fw::Window& window) {
    (void)window;
}

fw::Canvas& AboutForm::canImage() const {
    return ControlByName<fw::Canvas>("canImage");
}

fw::StaticText& AboutForm::StaticText3() const {
    return ControlByName<fw::StaticText>("StaticText3");
}

void AboutForm::Event_Open() {
    // The window is worth showing without its picture; LoadImage has told the person already.
    try {
        LoadImage();
    } catch (...) {
    }
}

void AboutForm::Event_Paint(fw::Graphics& g) {
    (void)g;
    DisplayImage();
}

void AboutForm::LoadImage() {
    try {
        const std::shared_ptr<fw::Picture> mask = Larderon_mask();
        Image = LarderonImage();
        Existing(Image).Mask(true)->Graphics().DrawPicture(Existing(mask), 0, 0);
    } catch (const std::exception&) {
        fw::MsgBox("Could not load image file.");
    }
}

void AboutForm::DisplayImage() {
    // Painting happens often and must never stop the window; without a picture the canvas stays
    // empty.
    try {
        fw::Canvas& canvas = canImage();
        canvas.Graphics().ClearRect(0, 0, canvas.Width(), canvas.Height());
        canvas.Graphics().DrawPicture(Existing(Image), 0, 0);
    } catch (...) {
    }
}

class AboutForm& AboutForm() {
    fw::Application* app = fw::Application::Current();
    if (!app)
        throw std::logic_error("the About window needs an application");
    if (auto* open = app->ImplicitWindow<class AboutForm>())
        return *open;
    auto window = std::make_unique<class AboutForm>();
    class AboutForm& form = *window;
    app->Adopt(std::move(window));
    form.Constructor();
    return form;
}
