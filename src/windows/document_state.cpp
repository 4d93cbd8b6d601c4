#include "windows/document_state.h"

#include "config/settings_catalogue.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include <algorithm>

namespace setforge::windows {
namespace {

bool sameChoices(const config::SettingsState& a, const config::SettingsState& b) {
    return a.nickname == b.nickname && std::ranges::all_of(config::SettingsCatalogue, [&](const auto& setting) {
               return a.*setting.field == b.*setting.field;
           });
}

} // namespace

DocumentState::DocumentState(QPlainTextEdit* box, Choices choices, QObject* parent)
    : QObject(parent)
    , m_box(box)
    , m_choices(std::move(choices))
    , m_savedChoices(m_choices()) {
    m_savedText = m_box->document()->toRawText();
    connect(m_box->document(), &QTextDocument::contentsChanged, this, &DocumentState::recheck);
}

void DocumentState::markSaved(const QString& path) {
    m_savedChoices = m_choices();
    m_savedText = m_box->document()->toRawText();
    m_box->document()->setModified(false);
    m_path = path;
    m_modified = false;
    emit changed();
}

void DocumentState::setPath(const QString& path) {
    m_path = path;
    emit changed();
}

bool DocumentState::textDiffers() const {
    // The document knows when undo has led back to the saved text; otherwise an edit that changed
    // the length certainly differs, and only an equal length needs the texts compared.
    const QTextDocument* document = m_box->document();
    if (!document->isModified()) {
        return false;
    }
    if (document->characterCount() != m_savedText.size() + 1) {
        return true;
    }
    return m_box->document()->toRawText() != m_savedText;
}

void DocumentState::recheck() {
    const bool modified = !sameChoices(m_choices(), m_savedChoices) || textDiffers();
    if (modified != m_modified) {
        m_modified = modified;
        emit changed();
    }
}

} // namespace setforge::windows
