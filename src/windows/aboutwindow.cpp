#include "windows/aboutwindow.h"

#include "platform/secondary_window.h"
#include "platform/window_services.h"
#include "windows/controls.h"
#include "windows/style.h"

#include <QLabel>
#include <QPushButton>

#include <array>

namespace setforge::windows {

AboutWindow::AboutWindow(platform::WindowServices& services)
    : FramedWindow(services, {.name = "AboutWindow",
                              .title = "Informationen über Programm",
                              .widthTwips = 4680,
                              .heightTwips = 3075,
                              .stripName = "Picture2",
                              .strip = twipsRect(0, 0, 4435, 255),
                              .closePicture = twipsRect(4440, 0, 240, 255),
                              .closeDescription = "Schließt das Fenster",
                              .borderLines = {{0, 255, 0, 3060}, {0, 3060, 4665, 3060}, {4665, 255, 4665, 3075}}}) {
    connect(strip(), &PictureBox::pressed, this, &AboutWindow::Picture2_MouseDown);
    // Escape clicks the close picture too: it closes, like "OK".
    connect(closePicture(), &PictureBox::clicked, this, &AboutWindow::Image1_Click);

    struct LabelRow {
        const char* name;
        QString text;
        QRect geometry;
        QColor colour; // the palette's own unless set
    };
    const std::array<LabelRow, 6> labels{{
        {"Label1", MakerName, twipsRect(120, 360, 4455, 255), {}},
        {"Label2", "Copyright © 2026 " + MakerName, twipsRect(120, 600, 4215, 255), {}},
        {"Label3", "Autor: " + MakerName, twipsRect(120, 840, 4455, 255), {}},
        {"Label5", "Lizensart:", twipsRect(120, 1800, 855, 255), {}},
        {"Label6", "Freeware", twipsRect(1020, 1800, 1335, 255), QColor(0, 128, 0)},
        {"Label4", "Programmdesign: " + MakerName, twipsRect(120, 2280, 4215, 255), {}},
    }};
    for (const LabelRow& row : labels) {
        auto* label = new QLabel(row.text, this);
        label->setObjectName(row.name);
        label->setGeometry(row.geometry);
        label->setFont(platform::arialBoldFont());
        if (row.colour.isValid()) {
            QPalette coloured = label->palette();
            coloured.setColor(QPalette::WindowText, row.colour);
            label->setPalette(coloured);
        }
    }

    // OK comes first in the focus order, so it holds the focus when the window opens.
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    ok->setGeometry(twipsRect(2400, 2640, 2235, 375));
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutWindow::Command1_Click);
    auto* site = new QPushButton(MakerName + " Website besuchen", this);
    site->setObjectName("Command2");
    site->setGeometry(twipsRect(60, 2640, 2235, 375));
    site->setAutoDefault(true);
    connect(site, &QPushButton::clicked, this, &AboutWindow::Command2_Click);
    chainTabOrder({ok, site, closePicture()});
    m_ok = ok;
}

void AboutWindow::Command1_Click() {
    platform::closeSecondaryWindow(this);
}

void AboutWindow::Command2_Click() {
    services().openWebAddress(this, MakerUrl);
}

void AboutWindow::Image1_Click() {
    Command1_Click();
}

void AboutWindow::Picture2_MouseDown(const QMouseEvent& event) {
    dragByStrip(event);
}

void AboutWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_ok->setFocus(Qt::OtherFocusReason);
}

} // namespace setforge::windows
