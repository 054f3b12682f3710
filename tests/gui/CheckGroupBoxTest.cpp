#include "platform/VeskaroError.h"
#include "ui/TCheckGroupBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using veskaro::TCheckGroupBox;

class CheckGroupBoxTest : public QObject {
    Q_OBJECT

private:
    // A page holding a group box with an edit inside and, beside it, the check box that stands for its caption.
    struct Page {
        QWidget parent;
        TCheckGroupBox* box = new TCheckGroupBox(QStringLiteral("Image Leading Path"), &parent);
        QLineEdit* edit = new QLineEdit(box);
        QCheckBox* check = new QCheckBox(QStringLiteral("Image Leading Path"), &parent);

        Page() {
            check->setChecked(true);
            check->adjustSize();
        }
    };

private slots:
    void placesTheCheckComponentOverTheFrame() {
        Page page;
        page.box->setGeometry(24, 256, 300, 100);
        page.box->SetCheckComponent(page.check);
        QCOMPARE(page.check->pos(), QPoint(32, 253));
        QVERIFY(page.box->Caption().isEmpty());
    }

    void contentsStartBelowTheCheckComponent() {
        Page page;
        auto* layout = new QVBoxLayout(page.box);
        layout->addWidget(page.edit);
        auto* outer = new QVBoxLayout(&page.parent);
        outer->addSpacing(20);
        outer->addWidget(page.box);
        page.box->SetCheckComponent(page.check);
        page.parent.show();
        QVERIFY(page.box->mapToParent(page.edit->geometry().topLeft()).y() > page.check->geometry().bottom());
    }

    void checkComponentFollowsMovesAndResizes() {
        Page page;
        page.box->SetCheckComponent(page.check);
        page.parent.show();
        page.box->setGeometry(40, 60, 200, 80);
        QCOMPARE(page.check->pos(), QPoint(48, 57));
        page.box->move(10, 20);
        QCOMPARE(page.check->pos(), QPoint(18, 17));
        const QSize size = page.check->size();
        page.box->resize(500, 300);
        QCOMPARE(page.check->size(), size);
        QCOMPARE(page.check->pos(), QPoint(18, 17));
    }

    void checkedStateSetByProgramEnablesTheChildren() {
        Page page;
        page.box->SetCheckComponent(page.check);
        QVERIFY(page.edit->isEnabled());
        page.check->setChecked(false);
        QVERIFY(!page.edit->isEnabled());
        QVERIFY(!page.box->isEnabled());
        QVERIFY(page.check->isEnabled());
        page.check->setChecked(true);
        QVERIFY(page.edit->isEnabled());
        QVERIFY(page.box->isEnabled());
    }

    void userClickEnablesTheChildren() {
        Page page;
        page.box->SetCheckComponent(page.check);
        page.parent.show();
        QTest::mouseClick(page.check, Qt::LeftButton, {}, QPoint(5, page.check->height() / 2));
        QVERIFY(!page.check->isChecked());
        QVERIFY(!page.edit->isEnabled());
    }

    void uncheckedComponentDisablesTheContentsAtOnce() {
        Page page;
        page.check->setChecked(false);
        page.box->SetCheckComponent(page.check);
        QVERIFY(!page.edit->isEnabled());
    }

    void withoutCheckComponentItIsAPlainGroupBox() {
        Page page;
        QVERIFY(page.box->IsChecked());
        QCOMPARE(page.box->Caption(), QStringLiteral("Image Leading Path"));
        page.box->SetCaption(QString());
        QCOMPARE(page.box->Caption(), QStringLiteral("Image Leading Path"));
        page.box->SetCaption(QStringLiteral("Other"));
        QCOMPARE(page.box->Caption(), QStringLiteral("Other"));
        page.box->SetEnabled(false);
        QVERIFY(!page.edit->isEnabled());
        page.box->SetEnabled(true);
        QVERIFY(page.edit->isEnabled());
    }

    void radioButtonCanBeTheCheckComponent() {
        Page page;
        auto* radio = new QRadioButton(QStringLiteral("On"), &page.parent);
        page.box->SetCheckComponent(radio);
        QVERIFY(!page.edit->isEnabled());
        radio->setChecked(true);
        QVERIFY(page.edit->isEnabled());
    }

    void earlierClickHandlerRunsAfterTheGroupFollowed() {
        Page page;
        QObject* sender = nullptr;
        bool editEnabledThen = true;
        page.box->SetCheckComponent(page.check, [&](QObject* from) {
            sender = from;
            editEnabledThen = page.edit->isEnabled();
        });
        page.check->setChecked(false);
        QCOMPARE(sender, page.box);
        QVERIFY(!editEnabledThen);
    }

    void refusesACheckGroupBoxAsCheckComponent() {
        Page page;
        page.box->SetCheckComponent(page.check);
        auto* other = new TCheckGroupBox(QStringLiteral("Other"), &page.parent);
        for (TCheckGroupBox* refused : {page.box, other}) {
            try {
                page.box->SetCheckComponent(refused);
                QFAIL("a check group box was accepted");
            } catch (const veskaro::VeskaroError& error) {
                QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Assigned TCheckGroupBox to itself"));
            }
        }
        QCOMPARE(page.box->CheckComponent(), page.check);
    }

    void reportsEachEnabledChange() {
        Page page;
        QList<bool> reported;
        connect(page.box, &TCheckGroupBox::OnEnabled, this, [&](TCheckGroupBox* sender, bool enabled) {
            QCOMPARE(sender, page.box);
            reported << enabled;
        });
        page.box->SetCheckComponent(page.check);
        page.check->setChecked(false);
        QCOMPARE(reported, (QList<bool>{true, false}));
    }

    void disabledByOtherCodeStaysDisabledAtUpdate() {
        Page page;
        page.box->SetCheckComponent(page.check);
        page.box->SetEnabled(false);
        page.box->Update();
        QVERIFY(!page.box->isEnabled());
        QVERIFY(!page.edit->isEnabled());
        // A click, however, follows the checked state whatever the group box was.
        page.check->setChecked(false);
        page.check->setChecked(true);
        QVERIFY(page.box->isEnabled());
        QVERIFY(page.edit->isEnabled());
    }

    void forgetsACheckComponentThatIsDestroyed() {
        Page page;
        page.box->SetCheckComponent(page.check);
        page.check->setChecked(false);
        delete page.check;
        QCOMPARE(page.box->CheckComponent(), nullptr);
        QVERIFY(page.box->IsChecked());
        page.box->Update();
        QCOMPARE(page.box->Caption(), QStringLiteral("Image Leading Path"));
    }
};

QTEST_MAIN(CheckGroupBoxTest)
#include "CheckGroupBoxTest.moc"
