#pragma once

#include <QObject>

#include <functional>
#include <initializer_list>

class QWidget;

namespace setforge::windows {

// Opens a file dropped on any of the watched widgets. A text box would otherwise insert the file's
// address as text; drops of text still reach it. Several files at once are refused, and a drop
// counts as accepted only when `open` took the file.
class FileDrop final : public QObject {
public:
    FileDrop(QObject* parent, std::function<bool(const QString&)> open, std::initializer_list<QWidget*> watched);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(const QString&)> m_open;
};

} // namespace setforge::windows
