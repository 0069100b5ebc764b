#include <gtest/gtest.h>

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <string>

#include "framework/Printing.h"

namespace {

fw::PrinterSetup MakeSetup(const QPageSize& size, QPageLayout::Orientation orientation,
                           const QMarginsF& margins, const std::string& printer = {}) {
    fw::PrinterSetup setup;
    setup.PageLayout() = QPageLayout(size, orientation, margins, QPageLayout::Point);
    setup.PrinterName(printer);
    return setup;
}

void ExpectSameSetup(const fw::PrinterSetup& expected, const fw::PrinterSetup& actual) {
    const QPageLayout& e = expected.PageLayout();
    const QPageLayout& a = actual.PageLayout();
    EXPECT_EQ(e.pageSize().key().toStdString(), a.pageSize().key().toStdString());
    EXPECT_NEAR(e.pageSize().size(QPageSize::Point).width(),
                a.pageSize().size(QPageSize::Point).width(), 0.01);
    EXPECT_NEAR(e.pageSize().size(QPageSize::Point).height(),
                a.pageSize().size(QPageSize::Point).height(), 0.01);
    EXPECT_EQ(e.orientation(), a.orientation());
    const QMarginsF em = e.margins(QPageLayout::Point), am = a.margins(QPageLayout::Point);
    EXPECT_NEAR(em.left(), am.left(), 0.01);
    EXPECT_NEAR(em.top(), am.top(), 0.01);
    EXPECT_NEAR(em.right(), am.right(), 0.01);
    EXPECT_NEAR(em.bottom(), am.bottom(), 0.01);
    EXPECT_EQ(expected.PrinterName(), actual.PrinterName());
    EXPECT_EQ(expected.Width(), actual.Width());
    EXPECT_EQ(expected.Height(), actual.Height());
}

fw::PrinterSetup RoundTrip(const fw::PrinterSetup& setup) {
    fw::PrinterSetup copy;
    copy.SetupString(setup.SetupString());
    return copy;
}

TEST(PrinterSetup, RoundTripsEverythingThePageSetupDialogCanChange) {
    // Separators and non-ASCII in the printer name must not break the text apart.
    const auto letter = MakeSetup(QPageSize(QPageSize::Letter), QPageLayout::Landscape,
                                  QMarginsF(10.5, 20, 30, 40.25), "Küche; 2nd floor=laser %20,");
    const auto a4 =
        MakeSetup(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    const auto custom =
        MakeSetup(QPageSize(QSizeF(300.5, 431), QPageSize::Point, QString(), QPageSize::ExactMatch),
                  QPageLayout::Portrait, QMarginsF(12, 12, 12, 12), "Labels");
    for (const auto* setup : {&letter, &a4, &custom}) {
        SCOPED_TRACE(setup->SetupString());
        const fw::PrinterSetup back = RoundTrip(*setup);
        ExpectSameSetup(*setup, back);
        EXPECT_EQ(setup->SetupString(), back.SetupString());
    }
    EXPECT_EQ(QPageSize::Letter, RoundTrip(letter).PageLayout().pageSize().id());
    EXPECT_EQ(QPageSize::A4, RoundTrip(a4).PageLayout().pageSize().id());
    EXPECT_EQ(QPageSize::Custom, RoundTrip(custom).PageLayout().pageSize().id());
}

TEST(PrinterSetup, WidthAndHeightAreThePrintableAreaInPoints) {
    EXPECT_EQ(612, MakeSetup(QPageSize(QPageSize::Letter), QPageLayout::Portrait, {}).Width());
    EXPECT_EQ(792, MakeSetup(QPageSize(QPageSize::Letter), QPageLayout::Portrait, {}).Height());
    EXPECT_EQ(595, MakeSetup(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}).Width());
    EXPECT_EQ(842, MakeSetup(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}).Height());

    const auto landscape =
        MakeSetup(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(36, 18, 36, 18));
    EXPECT_EQ(792 - 72, landscape.Width());
    EXPECT_EQ(612 - 36, landscape.Height());
}

TEST(PrinterSetup, UnreadableTextGivesTheDefaults) {
    const fw::PrinterSetup defaults;
    const std::string valid = MakeSetup(QPageSize(QPageSize::Letter), QPageLayout::Landscape,
                                        QMarginsF(1, 2, 3, 4), "Office")
                                  .SetupString();
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = valid;
        const auto at = text.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
        return text;
    };
    const std::string damaged[] = {
        "",
        "garbage",
        valid.substr(0, valid.size() / 2),
        replaced("v=1", "v=2"),
        replaced("larderon-page-setup", "other-program"),
        replaced("orientation=landscape", "orientation=sideways"),
        replaced("margins=1,2,3,4", "margins=1,2,3"),
        replaced("margins=1,2,3,4", "margins=-1,2,3,4"),
        replaced("margins=1,2,3,4", "margins=400,2,400,4"),
        replaced("w=612", "w=nan"),
        replaced("w=612", "w=0"),
        replaced("h=792", "h=1e300"),
        std::string("\0\xff;=;;", 6),
    };
    for (const std::string& text : damaged) {
        SCOPED_TRACE(text);
        fw::PrinterSetup setup = MakeSetup(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                           QMarginsF(5, 5, 5, 5), "Previous");
        EXPECT_NO_THROW(setup.SetupString(text));
        ExpectSameSetup(defaults, setup);
    }
}

}  // namespace
