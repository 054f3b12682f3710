#include "ui/TformHTML.h"

#include "ui/Utf8Text.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace veskaro {

TformHTML::TformHTML(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("formHTML"));
    m_memoHTMLBuild = new QPlainTextEdit(this);
    m_memoHTMLBuild->setObjectName(QStringLiteral("memoHTMLBuild"));
    m_memoHTMLBuild->setReadOnly(true);
    m_memoHTMLBuild->setLineWrapMode(QPlainTextEdit::NoWrap);
    (new QVBoxLayout(this))->addWidget(m_memoHTMLBuild);
}

void TformHTML::setPageLines(std::vector<std::string> lines) {
    m_lines = std::move(lines);
    QStringList text;
    for (const std::string& line : m_lines)
        text << fromUtf8Text(line);
    m_memoHTMLBuild->setPlainText(text.join(u'\n'));
}

} // namespace veskaro
