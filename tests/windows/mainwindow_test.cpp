#include "support/fake_window_services.h"
#include "support/finders.h"
#include "widget_helpers.h"

#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "windows/mainwindow.h"
#include "windows/setting_rows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace setforge::windows {
namespace {

using platform::FakeWindowServices;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class MainWindowTest : public ::testing::Test {
protected:
    FakeWindowServices services;
    MainWindow window{services};
    QTemporaryDir dir;

    template <class T> T* control(const char* name) { return testsupport::control<T>(&window, name); }
    void click(const char* name) { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton, {}, QPoint(5, 8)); }
    void choose(const char* list, const QString& text) {
        auto* box = control<QComboBox>(list);
        box->setCurrentIndex(box->findText(text, Qt::MatchExactly));
    }
    QPlainTextEdit* freeText() { return control<QPlainTextEdit>("Text2"); }
};

TEST_F(MainWindowTest, StartsWithNothingChosenAndListsFilledInOrder) {
    window.showCentred();
    for (std::size_t index = 0; index < config::SettingsCatalogue.size(); ++index) {
        const config::SettingSpec& setting = config::SettingsCatalogue[index];
        for (const config::ChoiceSpec& choice : setting.choices) {
            if (setting.kind == config::SettingKind::OptionGroup) {
                auto* option = control<QRadioButton>(std::string(choice.control).c_str());
                EXPECT_FALSE(option->isChecked()) << choice.control;
                EXPECT_EQ(option->text().toStdString(), choice.display);
            }
        }
        if (setting.kind == config::SettingKind::List) {
            auto* list = control<QComboBox>(std::string(SettingRows[index].control).c_str());
            EXPECT_EQ(list->currentIndex(), -1) << setting.key;
            EXPECT_EQ(list->currentText(), "") << setting.key;
            ASSERT_EQ(list->count(), static_cast<int>(setting.choices.size()));
            for (int i = 0; i < list->count(); ++i) {
                EXPECT_EQ(list->itemText(i).toStdString(), setting.choices[static_cast<std::size_t>(i)].display);
            }
        }
    }
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), "");
    EXPECT_EQ(freeText()->toPlainText(), "");
    EXPECT_EQ(window.focusWidget(), control<QWidget>("Text1"));
    EXPECT_EQ(config::composeUserconfig(window.snapshot()), "// User Angaben\r\n\r\n");
}

TEST_F(MainWindowTest, SettingRowsSitInTheirFramesWithoutGapsOrOverlap) {
    std::map<SettingsFrame, std::set<int>> rows;
    std::map<SettingsFrame, std::vector<QRect>> placed;
    for (std::size_t index = 0; index < SettingRows.size(); ++index) {
        const SettingRow& place = SettingRows[index];
        EXPECT_TRUE(rows[place.frame].insert(place.row).second) << place.key;
        auto* frame = control<QWidget>(place.frame == SettingsFrame::General ? "Frame1_0" : "Frame1_1");
        auto* widget = control<QWidget>(std::string(place.control).c_str());
        ASSERT_EQ(widget->parentWidget(), frame) << place.key;
        EXPECT_TRUE(frame->rect().contains(widget->geometry())) << place.key;
        const bool isList = config::SettingsCatalogue[index].kind == config::SettingKind::List;
        EXPECT_EQ(qobject_cast<QComboBox*>(widget) != nullptr, isList) << place.key;
        for (const QRect& other : placed[place.frame]) {
            EXPECT_FALSE(other.intersects(widget->geometry())) << place.key;
        }
        placed[place.frame].push_back(widget->geometry());
    }
    // Row 1 of the general frame is the nickname, which is not a setting.
    EXPECT_EQ(rows[SettingsFrame::General], (std::set<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(rows[SettingsFrame::Internet], (std::set<int>{1, 2, 3, 4}));
}

TEST_F(MainWindowTest, LoadShowsAStateAndClearsWhatItDoesNotChoose) {
    config::SettingsState full;
    full.nickname = "Jörg";
    for (const config::SettingSpec& setting : config::SettingsCatalogue) {
        const config::ChoiceSpec& last = setting.choices.back();
        full.*setting.field = std::string(setting.kind == config::SettingKind::List ? last.display : last.control);
    }
    full.manual_text = "bind \"F5\" \"vest\"\r\n\r\nsay hi";
    window.load(full);
    const config::SettingsState shown = window.snapshot();
    EXPECT_EQ(config::composeUserconfig(shown), config::composeUserconfig(full));
    EXPECT_EQ(shown.manual_text, full.manual_text);

    // Loading the start state clears every pair and list the previous load chose.
    click("o1");
    window.load(config::SettingsState{});
    EXPECT_EQ(config::composeUserconfig(window.snapshot()), "// User Angaben\r\n\r\n");
    for (const char* option : {"o1", "o2", "o15", "o27"}) {
        EXPECT_FALSE(control<QRadioButton>(option)->isChecked()) << option;
    }
    EXPECT_EQ(control<QComboBox>("ga")->currentIndex(), -1);
    // A pair cleared by a load can still be chosen, and stays exclusive.
    click("o14");
    click("o15");
    EXPECT_FALSE(control<QRadioButton>("o14")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("o15")->isChecked());
}

TEST_F(MainWindowTest, RowsPairLabelsWithTheirControls) {
    struct Case {
        const char* label;
        const char* text;
        const char* control;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"Label1", "Nickname", "Text1"}, {"Label2_1", "Helligkeit", "bg"}, {"Label2_2", "Gamma", "ga"},
        {"Label2_0", "Schnelles Waffenswitchen", "Picture5"}, {"Label2_14", "Kaufmenü", "Picture15"},
        {"Label2_15", "Waffenbewegungen", "wbew"}, {"Label3", "Download erlauben", "Picture16"},
        {"Label6", "Net Graph Position", "c2"},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto* label = control<QLabel>(c.label);
        auto* target = control<QWidget>(c.control);
        EXPECT_EQ(label->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(label->parentWidget(), target->parentWidget()) << c.label;
        // The control stands to the right of its label, on the same row (lists may sit 4 px higher).
        EXPECT_GT(target->x(), label->x() + label->width() - 1) << c.label;
        EXPECT_LE(std::abs(target->y() - label->y()), 4) << c.label;
    }
    EXPECT_EQ(window.size(), QSize(762, 537));
}

TEST_F(MainWindowTest, ChoosingAnOptionChangesOnlyItsOwnPair) {
    click("o1");
    click("o3");
    click("o15");
    EXPECT_TRUE(control<QRadioButton>("o1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("o3")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("o15")->isChecked());
    click("o2");
    click("o14");
    const std::vector<std::pair<const char*, bool>> expected = {
        {"o1", false}, {"o2", true}, {"o3", true}, {"o4", false}, {"o14", true}, {"o15", false}, {"o26", false}};
    for (const auto& [name, checked] : expected) {
        EXPECT_EQ(control<QRadioButton>(name)->isChecked(), checked) << name;
    }
    // A pair once chosen cannot be cleared by clicking its chosen option again.
    click("o2");
    EXPECT_TRUE(control<QRadioButton>("o2")->isChecked());
}

TEST_F(MainWindowTest, ListsTakeNoTypedText) {
    auto* gamma = control<QComboBox>("ga");
    EXPECT_FALSE(gamma->isEditable());
    gamma->setFocus();
    QTest::keyClicks(gamma, "quit; 9.9");
    const QString text = gamma->currentText();
    EXPECT_TRUE(text.isEmpty() || gamma->findText(text, Qt::MatchExactly) >= 0) << text.toStdString();
}

TEST_F(MainWindowTest, ConfigButtonWritesTheChosenStateAsFileBytes) {
    const QString path = dir.filePath("userconfig.cfg");
    services.writeRealFiles = true; // the file is read back
    services.saveAnswers.push_back(path);
    QTest::keyClicks(control<QLineEdit>("Text1"), "J");
    control<QLineEdit>("Text1")->insert(QString::fromUtf8("örg \"the\" Pro"));
    click("o1");
    click("o27");
    choose("ga", "2.2");
    choose("wbew", "Kleine Bewegungen");
    choose("cfarbe", "Weiß");
    freeText()->setPlainText("say Grüße\nbind \"F11\" \"vest\"");
    click("Command1");

    ASSERT_EQ(services.saveRequests.size(), 1u);
    EXPECT_EQ(services.saveRequests[0].parent, &window);
    EXPECT_EQ(readAll(path), QByteArray("name \"J\xC3\xB6rg 'the' Pro\"\r\n"
                                        "hud_fastswitch \"1\"\r\n"
                                        "gamma \"2.200000\"\r\n"
                                        "cl_crosshair_color \"255 255 255\"\r\n"
                                        "cl_bob \"0.001\"\r\n"
                                        "setinfo \"_vgui_menus\"\"1\"\r\n"
                                        "// User Angaben\r\n"
                                        "say Gr\xC3\xBC\xC3\x9F"
                                        "e\r\n"
                                        "bind \"F11\" \"vest\"\r\n"));
    EXPECT_TRUE(services.messages.empty());
    // The choices stay, so a second press writes the same file again.
    services.saveAnswers.push_back(path);
    const QByteArray first = readAll(path);
    click("Command1");
    EXPECT_EQ(readAll(path), first);
}

TEST_F(MainWindowTest, CancelWritesNothingAndSaysNothing) {
    services.saveAnswers.push_back(std::nullopt);
    click("Command1");
    EXPECT_EQ(services.saveRequests.size(), 1u);
    EXPECT_TRUE(services.writes.empty());
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(MainWindowTest, FailedWriteShowsWarningAndKeepsOldFile) {
    services.writeRealFiles = true; // the system's own refusals, and the old files read back
    struct Case {
        const char* name;
        QString path;
        std::optional<QString> failure;
    };
    const QString existing = dir.filePath("userconfig.cfg");
    const QString plainFile = dir.filePath("afile");
    for (const QString& p : {existing, plainFile}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old bytes\r\n");
    }
    const std::vector<Case> cases = {
        {"write refused", existing, QString("No space left on device")},
        {"folder chosen as file", dir.path(), std::nullopt},
        {"path under a file", plainFile + "/userconfig.cfg", std::nullopt},
    };
    for (const Case& c : cases) {
        services.messages.clear();
        services.failWritesWith = c.failure;
        services.saveAnswers.push_back(c.path);
        click("Command1");
        ASSERT_EQ(services.messages.size(), 1u) << c.name;
        const auto& message = services.messages[0];
        EXPECT_EQ(message.icon, platform::MessageIcon::Warning) << c.name;
        EXPECT_EQ(message.title, "") << c.name;
        EXPECT_TRUE(message.text.contains("nicht gespeichert")) << c.name;
        EXPECT_TRUE(message.text.contains(c.path)) << c.name;
    }
    EXPECT_EQ(readAll(existing), "old bytes\r\n");
    EXPECT_EQ(readAll(plainFile), "old bytes\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(MainWindowTest, InsertedLineStandsOnALineOfItsOwn) {
    struct Case {
        const char* name;
        QString before;
        int selectFrom, selectTo;
        QString after;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"empty box",             "",              0, 0,  "bind\r\n"},
        {"behind text",           "cl_bob 0",      8, 8,  "cl_bob 0\r\nbind\r\n"},
        {"inside a line",         "cl_bob 0",      3, 3,  "cl_\r\nbind\r\nbob 0"},
        {"start of a line",       "a\nsay x",      2, 2,  "a\r\nbind\r\nsay x"},
        {"replaces a whole line", "one\ntwo\nend", 4, 7,  "one\r\nbind\r\n\r\nend"},
        {"replaces a line's end", "one\ntwo\nend", 5, 7,  "one\r\nt\r\nbind\r\n\r\nend"},
        {"keeps lines before",    "a\nb\n",        4, 4,  "a\r\nb\r\nbind\r\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        freeText()->setPlainText(c.before);
        selectInBox(freeText(), c.selectFrom, c.selectTo);
        window.insertIntoFreeText("bind\r\n");
        EXPECT_EQ(window.snapshot().manual_text, c.after.toStdString()) << c.name;
        EXPECT_FALSE(freeText()->toPlainText().contains('\r')) << c.name;
    }
}

TEST_F(MainWindowTest, PicturesAndButtonsReachTheirServices) {
    click("Picture3");
    EXPECT_EQ(services.endProgramCalls, 1);
    click("Picture2");
    ASSERT_EQ(services.minimised.size(), 1u);
    EXPECT_EQ(services.minimised[0], &window);
    click("Command2");
    ASSERT_EQ(services.webAddresses.size(), 1u);
    EXPECT_EQ(services.webAddresses[0].url, "https://feldlager.example/");
    EXPECT_EQ(control<QPushButton>("Command2")->text(), "Feldlager Website besuchen");

    // Any button press on the strip reaches the drag service, which acts on the left one only;
    // a press on the About icon belongs to the icon, not to the strip under it.
    QTest::mousePress(control<QWidget>("Picture1"), Qt::RightButton, {}, QPoint(100, 5));
    QTest::mouseRelease(control<QWidget>("Picture1"), Qt::RightButton, {}, QPoint(100, 5));
    QTest::mousePress(control<QWidget>("Image2"), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(control<QWidget>("Image2"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(services.drags.size(), 1u);
    EXPECT_EQ(services.drags[0].button, Qt::RightButton);
    EXPECT_EQ(services.drags[0].strip, control<QWidget>("Picture1"));
}

TEST_F(MainWindowTest, WindowSystemCloseEndsTheProgram) {
    window.show();
    window.close();
    EXPECT_EQ(services.endProgramCalls, 1);
}

TEST_F(MainWindowTest, NoCaptionLabelOrItemIsClipped) {
    expectNoTextClipped(window);
}

TEST_F(MainWindowTest, LargeTypedInputsReachTheFileIntact) {
    // The longest nickname the game takes and a 10 MB free text with mixed line ends, as a player
    // can paste them.
    QString nickname;
    for (int i = 0; i < 25; ++i) {
        nickname += QString::fromUtf8("\"ä;x"); // 5 bytes written
    }
    QString manual;
    for (int i = 0; i < (10 << 20) / 16; ++i) {
        manual += i % 2 ? "bind \"F1\" \"p90\"\r\n" : QString::fromUtf8("say Grüße 😀\n");
    }
    control<QLineEdit>("Text1")->setText(nickname);
    freeText()->setPlainText(manual);
    const QString path = dir.filePath("userconfig.cfg");
    services.writeRealFiles = true; // the file is read back
    services.saveAnswers.push_back(path);
    // A file this large is read line by line, which cuts the umlaut lines: the player saves anyway.
    services.questionAnswers.push_back(true);
    click("Command1");
    EXPECT_EQ(services.questions.size(), 1U);

    QByteArray expected = "name \"";
    for (int i = 0; i < 25; ++i) {
        expected += "'\xC3\xA4;x";
    }
    expected += "\"\r\n// User Angaben\r\n";
    for (int i = 0; i < (10 << 20) / 16; ++i) {
        // The box keeps line breaks, not their bytes: every break is written as CR LF.
        expected += i % 2 ? "bind \"F1\" \"p90\"\r\n"
                          : "say Gr\xC3\xBC\xC3\x9F"
                            "e \xF0\x9F\x98\x80\r\n";
    }
    expected += "\r\n";
    const QByteArray written = readAll(path);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
}

TEST_F(MainWindowTest, NicknameTheGameRefusesStopsBeforeTheDialog) {
    const QString path = dir.filePath("userconfig.cfg");
    services.writeRealFiles = true; // the file is read back
    for (const QString& nickname :
         {QString("back\\slash"), QString("a..b"), QString(127, 'n'), QString::fromUtf8("ä").repeated(64)}) {
        services.messages.clear();
        services.saveAnswers = {path};
        control<QLineEdit>("Text1")->setText(nickname);
        control<QWidget>("ga")->setFocus();
        click("Command1");

        EXPECT_TRUE(services.saveRequests.empty()) << nickname.toStdString();
        EXPECT_FALSE(QFile::exists(path));
        ASSERT_EQ(services.messages.size(), 1u) << nickname.toStdString();
        EXPECT_EQ(services.messages[0].icon, platform::MessageIcon::Warning);
        EXPECT_TRUE(services.messages[0].title.isEmpty()) << "the application's title";
        EXPECT_TRUE(services.messages[0].text.contains("Nickname"));
        EXPECT_EQ(window.focusWidget(), control<QWidget>("Text1"));
    }
    // 126 bytes are taken without a word.
    services.messages.clear();
    control<QLineEdit>("Text1")->setText(QString(126, 'n'));
    click("Command1");
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(readAll(path), "name \"" + QByteArray(126, 'n') + "\"\r\n// User Angaben\r\n\r\n");
}

TEST_F(MainWindowTest, OpenedConfigFillsTheWindowAndIsSavedBackInPlace) {
    const QString path = dir.filePath("mine.cfg");
    const QByteArray original = "name \"Jörg\"\r\ngamma \"2.200000\"\r\ncl_righthand \"1\"\r\n// User Angaben\r\n"
                                "bind \"F5\" \"vest\"\r\nsay hi; kill\r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();

    // Ctrl+O asks with the open dialog and loads the answer.
    services.openAnswers = {path};
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window)); // a shortcut only reaches the active window
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(services.openRequests.size(), 1u);
    EXPECT_EQ(services.openRequests[0].request.filterPattern, "*.cfg");
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QString::fromUtf8("Jörg"));
    EXPECT_EQ(control<QComboBox>("ga")->currentText(), "2.2");
    EXPECT_TRUE(control<QRadioButton>("o15")->isChecked());
    EXPECT_EQ(freeText()->toPlainText(), "bind \"F5\" \"vest\"\nsay hi; kill");

    // "Config erstellen" proposes the same file in its folder; unchanged, it writes the same bytes.
    services.writeRealFiles = true;
    services.saveAnswers = {path};
    click("Command1");
    ASSERT_EQ(services.saveRequests.size(), 1u);
    EXPECT_EQ(services.saveRequests[0].request.proposedName, "mine.cfg");
    EXPECT_EQ(QString::fromStdString(services.saveRequests[0].request.startFolder), QFileInfo(path).absolutePath());
    EXPECT_TRUE(services.saveRequests[0].request.confirmOverwrite);
    EXPECT_EQ(readAll(path), original);

    // The next open dialog starts where the last config came from.
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(services.openRequests.size(), 2u);
    EXPECT_EQ(QString::fromStdString(services.openRequests[1].request.startFolder), QFileInfo(path).absolutePath());
}

TEST_F(MainWindowTest, FileThatCannotBeLoadedIsNamedAndChangesNothing) {
    const QString folder = dir.filePath("ordner.cfg");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString binary = dir.filePath("bild.cfg");
    QFile png(binary);
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    png.write(QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10", 20));
    png.close();
    const QString huge = dir.filePath("riesig.cfg");
    QFile big(huge);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize((16 << 20) + 1)); // sparse: nothing is really written
    big.close();
    struct Case {
        QString path;
        const char* reasonHolds;
    };
    const std::vector<Case> cases = {
        {dir.filePath("fehlt.cfg"), "gibt es nicht"},
        {folder, "Ordner"},
        {binary, "keine Textdatei"},
        {huge, "1 MB"},
    };
    control<QLineEdit>("Text1")->setText("bleibt");
    click("o1");
    for (const Case& c : cases) {
        services.messages.clear();
        EXPECT_FALSE(window.openConfig(c.path));
        ASSERT_EQ(services.messages.size(), 1u) << c.reasonHolds;
        EXPECT_EQ(services.messages[0].icon, platform::MessageIcon::Warning);
        EXPECT_TRUE(services.messages[0].text.contains(QDir::toNativeSeparators(c.path))) << c.reasonHolds;
        EXPECT_TRUE(services.messages[0].text.contains(QString::fromUtf8(c.reasonHolds)))
            << services.messages[0].text.toStdString();
        EXPECT_EQ(control<QLineEdit>("Text1")->text(), "bleibt");
        EXPECT_TRUE(control<QRadioButton>("o1")->isChecked());
    }
    // A failed load leaves the save dialog's proposal as it was.
    click("Command1");
    ASSERT_EQ(services.saveRequests.size(), 1u);
    EXPECT_EQ(services.saveRequests[0].request.proposedName, "userconfig.cfg");
    EXPECT_EQ(services.saveRequests[0].request.startFolder, "");
}

TEST_F(MainWindowTest, DroppedFileIsLoaded) {
    const QString path = dir.filePath("userconfig.cfg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("hud_fastswitch \"0\"\r\n");
    file.close();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_TRUE(control<QRadioButton>("o2")->isChecked());

    // Two files, or a web address, are not taken.
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)});
    QDragEnterEvent twoEnter(QPoint(10, 10), Qt::CopyAction, &two, Qt::LeftButton, Qt::NoModifier);
    twoEnter.setAccepted(false);
    QApplication::sendEvent(&window, &twoEnter);
    EXPECT_FALSE(twoEnter.isAccepted());
}

TEST_F(MainWindowTest, TabOrderFollowsTheRowsFromTopToBottom) {
    std::vector<QWidget*> chain;
    for (QWidget* w = control<QWidget>("Text1"); w != control<QWidget>("Text2"); w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
            chain.push_back(w);
        }
        ASSERT_LT(chain.size(), 200u) << "the chain never reaches the free text";
    }
    // 1 nickname + 7 lists + 27 options + the crosshair preview's button, the general frame's rows
    // first, each frame top to bottom.
    ASSERT_EQ(chain.size(), 36u);
    QWidget* general = control<QWidget>("Frame1_0");
    int lastY = -1;
    bool inInternet = false;
    for (QWidget* w : chain) {
        const bool isGeneral = general->isAncestorOf(w);
        ASSERT_FALSE(inInternet && isGeneral) << w->objectName().toStdString() << " after the internet frame";
        if (!isGeneral && !inInternet) {
            inInternet = true;
            lastY = -1;
        }
        const int y = w->mapTo(&window, QPoint(0, 0)).y();
        EXPECT_GE(y + 4, lastY) << w->objectName().toStdString();
        lastY = y;
    }
    QWidget* after = control<QWidget>("Text2")->nextInFocusChain();
    while (!(after->focusPolicy() & Qt::TabFocus)) {
        after = after->nextInFocusChain();
    }
    EXPECT_EQ(after->objectName(), "Command2");
}

TEST_F(MainWindowTest, PictureButtonsWorkFromTheKeyboardAndHaveGermanNames) {
    struct Case {
        const char* picture;
        const char* name;
        std::function<bool()> acted;
    };
    const std::vector<Case> cases = {
        {"Picture3", "Beenden", [&] { return services.endProgramCalls == 1; }},
        {"Picture2", "Minimieren", [&] { return services.minimised.size() == 1; }},
        {"Image2", "Informationen über Programm",
         [&] {
             for (QWidget* w : QApplication::topLevelWidgets()) {
                 if (w->objectName() == "AboutWindow" && w->isVisible()) {
                     return true;
                 }
             }
             return false;
         }},
    };
    for (const Case& c : cases) {
        auto* picture = control<QWidget>(c.picture);
        EXPECT_EQ(picture->accessibleName(), QString::fromUtf8(c.name));
        EXPECT_FALSE(picture->accessibleDescription().isEmpty()) << c.picture;
        EXPECT_TRUE(picture->focusPolicy() & Qt::TabFocus) << c.picture;
        QTest::keyClick(picture, Qt::Key_Space);
        EXPECT_TRUE(c.acted()) << c.picture;
    }
}

} // namespace
} // namespace setforge::windows
