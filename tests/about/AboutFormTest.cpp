#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "about/AboutForm.h"
#include "about/AboutPictures.h"
#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/Picture.h"
#include "framework/Text.h"
#include "support/ScriptedDialogs.h"

namespace {

const std::vector<std::string> kOneComplaint = {"Could not load image file."};

class AboutWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ReleaseAboutPictures();
        SetAboutPictureReader([this](int id) -> std::shared_ptr<fw::Picture> {
            ++reads[id];
            if (resourcesMissing)
                return nullptr;
            InitAboutResources();
            return fw::ApplicationResourceFork().GetPicture(id);
        });
        app.Register();
    }
    void TearDown() override {
        SetAboutPictureReader({});
        ReleaseAboutPictures();
    }

    // Runs the body once the application has opened, as the app's own code always runs; windows
    // raise their Open only then.
    void WhileRunning(const std::function<void()>& body) {
        QTimer::singleShot(0, [&] {
            body();
            app.Quit(0);
        });
        app.Run();
    }

    static void Shown(class AboutForm& form) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.NativeWidget()));
        QCoreApplication::processEvents();
    }

    std::map<int, int> reads;
    bool resourcesMissing = false;
    ScriptedDialogs dialogs;
    fw::Application app;
};

TEST_F(AboutWindow, HasItsDesignedShapeAndCredits) {
    WhileRunning([&] {
        class AboutForm& form = AboutForm();
        EXPECT_EQ(&form, &AboutForm()) << "the open About window is reused";

        EXPECT_EQ("About Larderon", form.Title());
        EXPECT_EQ(495, form.Width());
        EXPECT_EQ(162, form.Height());
        // Not resizable: the content is held at its size.
        EXPECT_EQ(QSize(495, 162), form.ContentWidget()->minimumSize());
        EXPECT_EQ(QSize(495, 162), form.ContentWidget()->maximumSize());
        const Qt::WindowFlags flags = form.NativeWidget()->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_TRUE(form.NativeWidget()->isVisible());

        ASSERT_EQ(2u, form.ControlCount());
        EXPECT_EQ("canImage", form.Controls()[0]->Name());
        EXPECT_EQ("StaticText3", form.Controls()[1]->Name());
        EXPECT_EQ(QRect(20, 14, 128, 128), form.canImage().NativeWidget()->geometry());
        EXPECT_EQ(QRect(160, 30, 315, 112), form.StaticText3().NativeWidget()->geometry());

        const auto lines = fw::Split(form.StaticText3().Text(), "\n");
        ASSERT_EQ(6u, lines.size());
        EXPECT_EQ("Larderon", lines[0]);
        for (int i : {0, 1, 3, 5}) EXPECT_FALSE(lines[i].empty()) << "line " << i;
        EXPECT_TRUE(lines[2].empty());
        EXPECT_TRUE(lines[4].empty());

        EXPECT_TRUE(dialogs.Messages().empty());
    });
}

TEST_F(AboutWindow, ShowsThePictureThroughItsMask) {
    WhileRunning([&] {
        class AboutForm& form = AboutForm();
        Shown(form);
        const std::shared_ptr<fw::Picture> mask = Larderon_mask();
        const std::shared_ptr<fw::Picture> picture = LarderonImage();
        ASSERT_TRUE(mask && picture);
        ASSERT_EQ(128, picture->Width());
        ASSERT_EQ(128, mask->Height());

        const QImage shown = form.canImage().Backing().toImage();
        int hidden = 0, opaque = 0;
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 128; ++x) {
                const int shows = qGray(mask->Image().pixel(x, y));
                const QRgb pixel = shown.pixel(x, y);
                ASSERT_NEAR(shows, qAlpha(pixel), 2) << x << "," << y;
                if (shows == 0)
                    ++hidden;
                if (shows == 255) {
                    ++opaque;
                    const QRgb drawn = picture->Image().pixel(x, y);
                    ASSERT_NEAR(qRed(drawn), qRed(pixel), 2) << x << "," << y;
                    ASSERT_NEAR(qGreen(drawn), qGreen(pixel), 2) << x << "," << y;
                    ASSERT_NEAR(qBlue(drawn), qBlue(pixel), 2) << x << "," << y;
                }
            }
        }
        // The artwork has a shape: neither all shown nor all hidden.
        EXPECT_GT(hidden, 128 * 128 / 10);
        EXPECT_GT(opaque, 128 * 128 / 4);
        EXPECT_TRUE(dialogs.Messages().empty());
    });
}

TEST_F(AboutWindow, PicturesAreReadOnceForAllWindowsUntilReleased) {
    WhileRunning([&] {
        class AboutForm& first = AboutForm();
        Shown(first);
        first.Close();
        class AboutForm& second = AboutForm();
        Shown(second);
        EXPECT_NE(&first, &second) << "a closed About window is not reused";
        EXPECT_EQ(1, reads[169]);
        EXPECT_EQ(1, reads[168]);

        second.Close();
        ReleaseAboutPictures();
        Shown(AboutForm());
        EXPECT_EQ(2, reads[169]);
        EXPECT_EQ(2, reads[168]);
        EXPECT_TRUE(dialogs.Messages().empty());
    });
}

TEST_F(AboutWindow, MissingPicturesComplainOncePerWindowAndLeaveTheCreditsShowing) {
    resourcesMissing = true;
    WhileRunning([&] {
        class AboutForm& first = AboutForm();
        Shown(first);
        EXPECT_EQ(kOneComplaint, dialogs.Messages());
        EXPECT_EQ(0, dialogs.Beeps());
        EXPECT_TRUE(first.StaticText3().NativeWidget()->isVisible());
        EXPECT_EQ(0u, first.StaticText3().Text().find("Larderon"));

        // A paint clears the canvas even with no picture to draw, and does not complain again.
        first.canImage().Graphics().DrawPicture(fw::Picture(128, 128), 0, 0);
        ASSERT_EQ(255, qAlpha(first.canImage().Backing().toImage().pixel(64, 64)));
        first.ContentWidget()->repaint();
        QCoreApplication::processEvents();
        const QImage cleared = first.canImage().Backing().toImage();
        for (int y = 0; y < cleared.height(); y += 7) {
            for (int x = 0; x < cleared.width(); x += 7) {
                ASSERT_EQ(0, qAlpha(cleared.pixel(x, y))) << x << "," << y;
            }
        }
        EXPECT_EQ(kOneComplaint, dialogs.Messages());

        // Nothing was found, so nothing was kept: the next window looks again.
        first.Close();
        Shown(AboutForm());
        EXPECT_EQ(std::vector<std::string>(2, kOneComplaint[0]), dialogs.Messages());
        EXPECT_EQ(2, reads[168]);
        EXPECT_EQ(2, reads[169]);
    });
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

TEST_F(AboutWindow, PaintingComesToRest) {
    WhileRunning([&] {
        class AboutForm& form = AboutForm();
        Shown(form);
        PaintCounter counter;
        form.ContentWidget()->installEventFilter(&counter);
        form.ContentWidget()->update();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        form.ContentWidget()->removeEventFilter(&counter);
        // Drawing the picture from Paint must not ask for another paint, and so on for ever.
        EXPECT_GE(counter.paints, 1);
        EXPECT_LE(counter.paints, 3);
    });
}

// How many pixels of two pictures of one size differ by more than a rounding in some channel.
int Differing(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            differing += std::abs(qRed(p) - qRed(q)) > 2 || std::abs(qGreen(p) - qGreen(q)) > 2 ||
                         std::abs(qBlue(p) - qBlue(q)) > 2;
        }
    }
    return differing;
}

// The picture as the window would show it over its background, pixel for pixel of `art`.
QImage OnBackground(QImage art, QRgb background) {
    art.setDevicePixelRatio(1);
    QImage result(art.size(), QImage::Format_RGB32);
    result.fill(background);
    QPainter(&result).drawImage(0, 0, art);
    return result;
}

// Run at the screen's own ratio, and again by ctest at QT_SCALE_FACTOR=2 (about_window@2x.png).
TEST_F(AboutWindow, ScreenshotIsSharpAtTheScreensRatio) {
    WhileRunning([&] {
        class AboutForm& form = AboutForm();
        Shown(form);
        const int ratio = qRound(form.NativeWidget()->devicePixelRatioF());
        EXPECT_EQ(qEnvironmentVariable("QT_SCALE_FACTOR", "1").toInt(), ratio);
        const QImage shot = form.NativeWidget()->grab().toImage();
        const QString path =
            ratio == 1 ? QStringLiteral(LARDERON_BUILD_DIR "/about_window.png")
                       : QStringLiteral(LARDERON_BUILD_DIR "/about_window@%1x.png").arg(ratio);
        ASSERT_TRUE(shot.save(path)) << path.toStdString();
        EXPECT_EQ(QSize(495, 162) * ratio, shot.size());

        const QRgb background = shot.pixel(5, 5);
        int ink = 0;
        for (int y = 30 * ratio; y < 142 * ratio; ++y) {
            for (int x = 160 * ratio; x < 475 * ratio; ++x) ink += shot.pixel(x, y) != background;
        }
        EXPECT_GT(ink, 300 * ratio * ratio) << "the credits are not on the screenshot";

        // The canvas shows the rendition drawn for this ratio, each of its pixels on one of the
        // screen's: where the mask shows, the picture; where it hides, the window behind it.
        const QImage art = LarderonImage()->Composed(ratio);
        ASSERT_EQ(QSize(128, 128) * ratio, art.size());
        const QImage shown = shot.copy(QRect(QPoint(20, 14) * ratio, art.size()));
        EXPECT_EQ(0, Differing(shown, OnBackground(art, background)));
        EXPECT_EQ(background, shown.pixel(2, 2));
        if (ratio == 1)
            return;
        // The comparison tells a sharp picture from an enlarged one: the 1x picture blown up
        // differs from the screenshot at its every edge.
        const QImage small = LarderonImage()->Composed(1);
        for (auto mode : {Qt::FastTransformation, Qt::SmoothTransformation}) {
            EXPECT_GT(
                Differing(shown, OnBackground(small.scaled(art.size(), Qt::IgnoreAspectRatio, mode),
                                              background)),
                1000);
        }
    });
}

}  // namespace
