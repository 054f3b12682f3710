#pragma once

#include "DesignerWindow.h"
#include "TestFolders.h"

#include <QObject>
#include <QTest>

#include <memory>

namespace veskaro::test {

/// A test case that gives each test a fresh designer window, with every per-user folder in a temporary
/// folder, and fails a test that met a prompt it had not prepared an answer for.
class DesignerTestCase : public QObject {
    Q_OBJECT

protected slots:
    void init() { m_designer = std::make_unique<DesignerWindow>(m_folders); }
    void cleanup() {
        const QStringList unexpected(prompts().unexpected.begin(), prompts().unexpected.end());
        m_designer.reset();
        QVERIFY2(unexpected.isEmpty(), qPrintable(QStringLiteral("unprepared prompts: ") + unexpected.join(u',')));
    }

protected:
    template <typename Control> Control& find(const char* name) { return m_designer->find<Control>(name); }
    DesignerWindow& designer() { return *m_designer; }
    TMainForm& window() { return m_designer->window; }
    ScriptedPrompts& prompts() { return m_designer->prompts; }
    PublisherDouble& publisher() { return m_designer->publisher; }

    PerUserFolders m_folders;

private:
    std::unique_ptr<DesignerWindow> m_designer;
};

} // namespace veskaro::test
