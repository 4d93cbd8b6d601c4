#include "platform/qt_window_services.h"

#include "config/save_userconfig.h"
#include "support/modal_watch.h"
#include "support/printers.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace setforge::platform {
namespace {

using testsupport::ModalWatch;

// A title strip as the windows have it: its mouse-press handler hands the press to the services.
class Strip final : public QWidget {
public:
    Strip(WindowServices& services, QWidget* window)
        : QWidget(window)
        , m_services(services) {}

protected:
    void mousePressEvent(QMouseEvent* event) override { m_services.dragByStrip(this, *event); }

private:
    WindowServices& m_services;
};

void sendMouse(QWidget* strip, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons) {
    const QPoint local = strip->mapFromGlobal(global);
    QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(strip, &event);
    QCoreApplication::processEvents();
}

TEST(DragByStrip, WindowFollowsTheMouseOnlyWhileTheLeftButtonAloneIsHeld) {
    if (QGuiApplication::platformName() != "offscreen") {
        GTEST_SKIP() << "only the offscreen platform is sure to have no window manager to hand the move to";
    }
    struct Case {
        const char* name;
        Qt::MouseButton button;
        Qt::MouseButtons held;
        bool follows;
    };
    const Case cases[] = {
        {"left", Qt::LeftButton, Qt::LeftButton, true},
        {"right", Qt::RightButton, Qt::RightButton, false},
        {"middle", Qt::MiddleButton, Qt::MiddleButton, false},
        {"left while right is held", Qt::LeftButton, Qt::LeftButton | Qt::RightButton, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtWindowServices services;
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.setGeometry(100, 80, 400, 300);
        auto* strip = new Strip(services, &window);
        strip->setGeometry(0, 0, 400, 20);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();
        const QPoint press = strip->mapToGlobal(QPoint(50, 10));

        sendMouse(strip, QEvent::MouseButtonPress, press, c.button, c.held);
        sendMouse(strip, QEvent::MouseMove, press + QPoint(30, 40), Qt::NoButton, c.held);
        EXPECT_EQ(window.pos(), c.follows ? start + QPoint(30, 40) : start);
        sendMouse(strip, QEvent::MouseMove, press + QPoint(-20, 5), Qt::NoButton, c.held);
        EXPECT_EQ(window.pos(), c.follows ? start + QPoint(-20, 5) : start);

        // After the release the window stays where it was left.
        const QPoint dropped = window.pos();
        sendMouse(strip, QEvent::MouseButtonRelease, press + QPoint(-20, 5), c.button, c.held & ~c.button);
        sendMouse(strip, QEvent::MouseMove, press + QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(window.pos(), dropped);
    }
}

TEST(Minimise, OnlyFromTheNormalState) {
    struct Case {
        const char* name;
        Qt::WindowStates before;
        Qt::WindowStates after;
    };
    const Case cases[] = {
        {"normal", Qt::WindowNoState, Qt::WindowMinimized},
        {"maximised", Qt::WindowMaximized, Qt::WindowMaximized},
        {"full screen", Qt::WindowFullScreen, Qt::WindowFullScreen},
        {"already minimised", Qt::WindowMinimized, Qt::WindowMinimized},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtWindowServices services;
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.resize(200, 100);
        window.setWindowState(c.before);
        window.show();
        QCoreApplication::processEvents();
        if (window.windowState() != c.before) {
            GTEST_SKIP() << "the platform " << QGuiApplication::platformName().toStdString() << " keeps no " << c.name
                         << " state";
        }

        services.minimise(&window);
        QCoreApplication::processEvents();

        EXPECT_EQ(window.windowState(), c.after);
    }
}

TEST(EndProgram, LeavesEveryEventLoopAtOnceAndTakesEveryWindowAlong) {
    QtWindowServices services;
    QWidget main(nullptr, Qt::FramelessWindowHint);
    main.show();
    auto* buyWindow = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    buyWindow->setAttribute(Qt::WA_DeleteOnClose);
    buyWindow->show();

    bool modalLoopLeft = false;
    bool stillRunningAfterEnd = false;
    QTimer::singleShot(0, [&] {
        // The end comes from inside a modal box, which must not hold the program up.
        QDialog box(&main);
        QTimer::singleShot(0, [&] { services.endProgram(); });
        box.exec();
        modalLoopLeft = true;
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        stillRunningAfterEnd = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(5000);

    const int status = QApplication::exec();

    EXPECT_EQ(status, 0);
    EXPECT_FALSE(stillRunningAfterEnd);
    EXPECT_TRUE(modalLoopLeft);
    EXPECT_FALSE(main.isVisible());
    EXPECT_FALSE(buyWindow->isVisible());
    delete buyWindow;
}

// Stands in for the user's browser.
class Browser final : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

TEST(OpenWebAddress, HandsTheAddressToTheBrowser) {
    Browser browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    QtWindowServices services;
    QWidget owner;

    services.openWebAddress(&owner, "https://feldlager.example/");
    services.openWebAddress(nullptr, "https://halvren.example/");
    QDesktopServices::unsetUrlHandler("https");

    const std::vector<QUrl> expected{QUrl("https://feldlager.example/"), QUrl("https://halvren.example/")};
    EXPECT_EQ(browser.opened, expected);
}

// Runs the save dialog with the working directory in a fresh folder.
class SaveDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_folder.path());
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    [[nodiscard]] QString inFolder(const QString& name) const { return QDir(m_folder.path()).filePath(name); }

    QTemporaryDir m_folder;
    QString m_previous;
};

QFileDialog* asFileDialog(QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    EXPECT_NE(dialog, nullptr) << "the modal window is a " << modal->metaObject()->className();
    return dialog;
}

// What the dialog's Save button does.
void accept(QFileDialog* dialog) {
    static_cast<QDialog*>(dialog)->accept();
}

// Types over the name field the way a user does: the field has the focus while the keys arrive.
void typeFileName(QFileDialog* dialog, const QString& name) {
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, name);
}

TEST_F(SaveDialog, ShowsTheRequestInTheWorkingDirectory) {
    QtWindowServices services;
    QString title;
    QString shownFilter;
    QStringList appliedPatterns;
    QString proposedName;
    QString folder;
    QString defaultSuffix;
    ModalWatch watch([&](QWidget* modal) {
        QFileDialog* dialog = asFileDialog(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        if (auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo"); combo != nullptr) {
            shownFilter = combo->currentText();
        }
        if (auto* model = dialog->findChild<QFileSystemModel*>(); model != nullptr) {
            appliedPatterns = model->nameFilters();
        }
        if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"); edit != nullptr) {
            proposedName = edit->text();
        }
        folder = dialog->directory().absolutePath();
        defaultSuffix = dialog->defaultSuffix();
        dialog->reject();
    });

    (void)services.askSavePath(nullptr, config::userconfigDialogRequest());

    ASSERT_TRUE(watch.acted());
    EXPECT_EQ(title, "Halvren Setforge 1.0");
    EXPECT_EQ(shownFilter, "CS 1.6 Config (*.cfg)");
    EXPECT_EQ(appliedPatterns, QStringList{"userconfig.cfg"});
    EXPECT_EQ(proposedName, "userconfig.cfg");
    EXPECT_EQ(QDir(folder).canonicalPath(), QDir(m_folder.path()).canonicalPath());
    EXPECT_TRUE(defaultSuffix.isEmpty());
}

TEST_F(SaveDialog, GivesTheChosenPathAsTypedOrNothingOnCancel) {
    struct Case {
        const char* name;
        std::optional<QString> typed; // nullopt: the user cancels
        std::optional<QString> chosen;
    };
    const Case cases[] = {
        {"proposed name accepted", "userconfig.cfg", "userconfig.cfg"},
        {"name without extension", "meinconfig", "meinconfig"},
        {"other extension kept", "spiel.txt", "spiel.txt"},
        {"cancelled", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtWindowServices services;
        ModalWatch watch([&](QWidget* modal) {
            QFileDialog* dialog = asFileDialog(modal);
            ASSERT_NE(dialog, nullptr);
            if (!c.typed) {
                dialog->reject();
                return;
            }
            typeFileName(dialog, *c.typed);
            accept(dialog);
        });

        const std::optional<QString> path = services.askSavePath(nullptr, config::userconfigDialogRequest());

        EXPECT_TRUE(watch.acted());
        EXPECT_FALSE(watch.forcedClosed());
        EXPECT_EQ(path, c.chosen ? std::optional<QString>(inFolder(*c.chosen)) : std::nullopt);
    }
}

// Save greys out for a name the file system does not take; a line says why.
TEST_F(SaveDialog, WarnsOfANameLongerThanTheFileSystemTakes) {
    const std::pair<QString, bool> cases[] = {
        {QString(251, 'n') + ".cfg", false},
        {QString(252, 'n') + ".cfg", true},
        {QString(126, QChar(0xe4)) + ".cfg", true}, // 256 bytes in 130 letters
        {"sub/" + QString(251, 'n') + ".cfg", false},
    };
    for (const auto& [typed, warned] : cases) {
        bool shown = !warned;
        ModalWatch watch([&](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(edit, nullptr);
            edit->selectAll();
            edit->insert(typed); // as typed; key clicks cannot carry an umlaut
            const auto* warning = modal->findChild<QLabel*>("NameTooLongWarning");
            shown = warning != nullptr && warning->isVisible();
            asFileDialog(modal)->reject();
        });
        (void)QtWindowServices().askSavePath(nullptr, config::userconfigDialogRequest());
        EXPECT_TRUE(watch.acted());
        EXPECT_EQ(shown, warned) << typed.toStdString();
    }
}

TEST_F(SaveDialog, AsksBeforeReplacingAnExistingFileWhenToldTo) {
    struct Case {
        const char* name;
        bool confirmOverwrite;
        QMessageBox::StandardButton answer;
        bool asked;
        bool chosen;
    };
    const Case cases[] = {
        {"replace confirmed", true, QMessageBox::Yes, true, true},
        {"replace declined", true, QMessageBox::No, true, false},
        {"no confirmation wanted", false, QMessageBox::NoButton, false, true},
    };
    QFile existing(inFolder("userconfig.cfg"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtWindowServices services;
        config::SaveDialogRequest request = config::userconfigDialogRequest();
        request.confirmOverwrite = c.confirmOverwrite;
        bool asked = false;
        ModalWatch watch([&](QWidget* modal) {
            QFileDialog* dialog = asFileDialog(modal);
            ASSERT_NE(dialog, nullptr);
            ModalWatch question([&](QWidget* box) {
                auto* messageBox = qobject_cast<QMessageBox*>(box);
                ASSERT_NE(messageBox, nullptr);
                asked = true;
                QAbstractButton* answer = messageBox->button(c.answer);
                ASSERT_NE(answer, nullptr) << "asked although no confirmation was wanted";
                answer->click();
            });
            accept(dialog);
            if (dialog->isVisible()) {
                dialog->reject(); // the user declined, then cancels
            }
        });

        const std::optional<QString> path = services.askSavePath(nullptr, request);

        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(path, c.chosen ? std::optional<QString>(inFolder("userconfig.cfg")) : std::nullopt);
    }
}

} // namespace
} // namespace setforge::platform

#include "qt_window_services_test.moc"
