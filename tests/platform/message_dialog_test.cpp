#include "platform/message_dialog.h"
#include "platform/qt_window_services.h"

#include "buyscript/weapon_sheets.h"
#include "support/modal_watch.h"
#include "support/printers.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace setforge::platform {
namespace {

using testsupport::ModalWatch;

QWidget* textOf(MessageDialog& box) {
    box.layout()->activate();
    return box.findChild<QWidget*>("text");
}

// Where the drawn text ends: one past the rightmost and lowest column and row with ink.
struct InkExtent {
    int right = 0;
    int bottom = 0;
};

InkExtent inkOf(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    InkExtent extent;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                extent.right = std::max(extent.right, x + 1);
                extent.bottom = std::max(extent.bottom, y + 1);
            }
        }
    }
    return extent;
}

int inkRightOf(const QString& text) {
    MessageDialog box(nullptr, {}, text, MessageIcon::None);
    const int right = inkOf(textOf(box)).right;
    EXPECT_GT(right, 0) << "nothing drawn for " << text.toStdString();
    return right;
}

QStringList sheetLines(std::int16_t marker) {
    const auto sheet = buyscript::WeaponSheetFor(marker);
    EXPECT_TRUE(sheet.has_value());
    return sheet ? QString::fromStdString(sheet->text).split("\r\n") : QStringList();
}

TEST(MessageBox, SheetRowsPutTheirColonInOneColumn) {
    const QStringList lines = sheetLines(12);
    ASSERT_EQ(lines.size(), 9);

    // Each row's label, TABs and colon drawn alone at its place in the nine-row sheet: the colons
    // line up exactly when every row's ink ends in the same column.
    std::vector<int> colonEnds;
    for (qsizetype row = 0; row < lines.size(); ++row) {
        QStringList alone(lines.size(), QString());
        const qsizetype colon = lines[row].indexOf(": ");
        ASSERT_GT(colon, 0) << lines[row].toStdString();
        alone[row] = lines[row].left(colon + 1);
        colonEnds.push_back(inkRightOf(alone.join("\r\n")));
    }
    for (size_t row = 1; row < colonEnds.size(); ++row) {
        EXPECT_EQ(colonEnds[row], colonEnds[0]) << lines[static_cast<qsizetype>(row)].toStdString();
    }
}

TEST(MessageBox, TabsAdvanceToStopsEightAverageCharactersApart) {
    MessageDialog probe(nullptr, {}, ":", MessageIcon::None);
    const qreal stop = QFontMetricsF(textOf(probe)->font()).averageCharWidth() * 8;
    const int colonAlone = inkRightOf(":");
    struct Case {
        QString text;
        int stops;
    };
    const Case cases[] = {{"\t:", 1}, {"\t\t:", 2}, {"\t\t\t:", 3}, {"ab\t:", 1}, {"Caliber\t\t:", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_NEAR(inkRightOf(c.text) - colonAlone, c.stops * stop, 1.0);
    }
}

TEST(MessageBox, TextIsNeverClipped) {
    const QString texts[] = {
        sheetLines(12).join("\r\n"),
        "Die Config wurde nicht gespeichert.\r\n\r\nDatei: /home/spieler/Counter-Strike 1.6/cstrike/"
        "Sehr langer Ordnername mit Umlauten äöü/userconfig.cfg\r\nGrund: No space left on device",
        "Kauft Munition für die Hauptwaffe",
        "gy\r\n\r\nTrailing tabs\t\t\t\t",
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        MessageDialog box(nullptr, {}, text, MessageIcon::Information);
        QWidget* label = textOf(box);
        EXPECT_TRUE(box.rect().contains(label->geometry()));
        const InkExtent asShown = inkOf(label);
        EXPECT_GT(asShown.right, 0);

        // Given room to spare, the text shows no more ink than in the box's own size.
        label->resize(label->width() + 200, label->height() + 200);
        const InkExtent withRoom = inkOf(label);
        EXPECT_EQ(asShown.right, withRoom.right);
        EXPECT_EQ(asShown.bottom, withRoom.bottom);
    }
}

// A failed save names the path, and a path can be 4,094 bytes with no blank in it. The box must
// stay within 60 % of the screen's width and inside its height, the OK button on screen, and every
// line of text within the width it is shown in.
TEST(MessageBox, LongTextWrapsWithinTheScreen) {
    const QString deepPath = "/home/spieler/" + QString("Ordner/").repeated(582) + "uc.cfg";
    ASSERT_EQ(deepPath.size(), 4094);
    const QString longName = "/home/spieler/cstrike/" + QString(250, 'n') + ".cfg";
    const QString texts[] = {
        "Die Config wurde nicht gespeichert.\r\nGrund: Der Pfad ist zu lang\r\n\r\nDatei: " + deepPath,
        "Die Config wurde nicht gespeichert.\r\nGrund: Der Pfad ist zu lang\r\n\r\nDatei: " + longName,
        QString("Ein langer Satz mit vielen Worten, der weit über jeden Bildschirm hinausginge. ").repeated(40),
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QString& text : texts) {
        SCOPED_TRACE(text.left(80).toStdString());
        for (const MessageIcon icon : {MessageIcon::Warning, MessageIcon::None}) {
            MessageDialog box(nullptr, {}, text, icon);
            box.show();
            box.layout()->activate();
            EXPECT_LE(box.width(), screen.width() * 6 / 10);
            EXPECT_LE(box.height(), screen.height());
            const auto* ok = box.findChild<QPushButton*>("ok");
            ASSERT_NE(ok, nullptr);
            EXPECT_TRUE(box.rect().contains(ok->geometry()));

            QWidget* label = box.findChild<QWidget*>("text");
            ASSERT_NE(label, nullptr);
            QWidget* shownIn = label->parentWidget() == &box ? label : label->parentWidget(); // a scroll viewport
            EXPECT_LE(inkOf(label).right, shownIn->width());
            EXPECT_LE(label->width(), shownIn->width());
            EXPECT_GE(label->height(), 3 * QFontMetrics(label->font()).height()); // wrapped onto several lines
        }
    }
}

TEST(MessageBox, IconShowsOnlyWhenAsked) {
    QImage information;
    QImage warning;
    for (const MessageIcon icon : {MessageIcon::None, MessageIcon::Information, MessageIcon::Warning}) {
        MessageDialog box(nullptr, {}, "Text", icon);
        box.show();
        const auto* label = box.findChild<QLabel*>("icon");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->isVisible(), icon != MessageIcon::None);
        const QImage image = label->pixmap().toImage();
        EXPECT_EQ(image.isNull(), icon == MessageIcon::None);
        if (icon != MessageIcon::None) {
            (icon == MessageIcon::Warning ? warning : information) = image;
        }
    }
    EXPECT_NE(information, warning);
}

TEST(MessageBox, TitleFallsBackToTheApplicationTitle) {
    struct Case {
        QString given;
        QString shown;
    };
    const Case cases[] = {{"", "Halvren Setforge"}, {"Waffeninformation", "Waffeninformation"}};
    for (const Case& c : cases) {
        QtWindowServices services;
        QString shownTitle;
        QString objectName;
        ModalWatch watch([&](QWidget* box) {
            shownTitle = box->windowTitle();
            objectName = box->objectName();
            qobject_cast<QDialog*>(box)->accept();
        });
        services.showMessage(nullptr, c.given, "Text", MessageIcon::Information);
        EXPECT_TRUE(watch.acted());
        EXPECT_EQ(objectName, "MessageBox");
        EXPECT_EQ(shownTitle, c.shown);
    }
}

TEST(MessageBox, OneOkButtonClosesTheBoxFromTheKeyboard) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        QtWindowServices services;
        ModalWatch watch([&](QWidget* box) {
            const auto buttons = box->findChildren<QPushButton*>();
            ASSERT_EQ(buttons.size(), 1);
            EXPECT_EQ(buttons[0]->text(), "OK");
            EXPECT_TRUE(buttons[0]->isDefault());
            ASSERT_EQ(box->focusWidget(), buttons[0]);
            QTest::keyClick(buttons[0], key);
        });
        services.showMessage(nullptr, {}, "Price\t\t: $400", MessageIcon::None);
        EXPECT_TRUE(watch.acted());
        EXPECT_FALSE(watch.forcedClosed());
    }
}

// The question before unsaved work is lost: three buttons, and Enter and Escape go back.
TEST(MessageBox, UnsavedQuestionTakesEachAnswerAndDefaultsToCancel) {
    struct Case {
        const char* button; // clicked, or nullptr to press `key` on the focused one
        Qt::Key key;
        UnsavedChoice expected;
    };
    const std::vector<Case> cases = {
        {"ok", Qt::Key_unknown, UnsavedChoice::Save},       {"reject", Qt::Key_unknown, UnsavedChoice::Discard},
        {"cancel", Qt::Key_unknown, UnsavedChoice::Cancel}, {nullptr, Qt::Key_Return, UnsavedChoice::Cancel},
        {nullptr, Qt::Key_Escape, UnsavedChoice::Cancel},
    };
    for (const Case& c : cases) {
        QtWindowServices services;
        ModalWatch watch([&](QWidget* box) {
            const auto buttons = box->findChildren<QPushButton*>();
            ASSERT_EQ(buttons.size(), 3);
            EXPECT_EQ(buttons[0]->text(), "Speichern");
            EXPECT_EQ(buttons[1]->text(), "Verwerfen");
            EXPECT_EQ(buttons[2]->text(), "Abbrechen");
            EXPECT_TRUE(buttons[2]->isDefault());
            if (c.button != nullptr) {
                box->findChild<QPushButton*>(c.button)->click();
            } else {
                QTest::keyClick(box->focusWidget(), c.key);
            }
        });
        EXPECT_EQ(services.askAboutUnsavedChanges(nullptr, "Noch nicht gespeichert."), c.expected)
            << (c.button != nullptr ? c.button : "key");
        EXPECT_TRUE(watch.acted());
        EXPECT_FALSE(watch.forcedClosed());
    }
}

} // namespace
} // namespace setforge::platform
