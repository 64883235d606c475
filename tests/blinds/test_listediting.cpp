#include "support/GameDriver.h"
#include "support/WindowTest.h"
#include "text/IntCheck.h"

#include <QtTest>

class TestListEditing : public WindowTest {
    Q_OBJECT
    void add(const QString &small, const QString &big, const QString &minutes)
    {
        fakes->inputBox.answers = {small, big, minutes};
        frm->cmd_BlindAdd_Click();
    }
    QStringList messages() const
    {
        QStringList t;
        for (const auto &c : fakes->messageBox.calls)
            t << c.text;
        return t;
    }

private slots:
    // A typed text is empty, digits, letters or a mix, once the ignored characters are dropped.
    void textTypes()
    {
        const char *const rows[][3] = {{"", "", "Empty"},      {"025", "", "Number"}, {"abC", "", "Letter"},
                                       {"20m", "", "Mixed"},   {"12.5", "", "Mixed"}, {"\u00E9", "", "Mixed"},
                                       {"20M", "m", "Number"}, {"..", ".", "Empty"}};
        for (const auto &[text, ignored, type] : rows)
            QCOMPARE(TextTypeCheck(QString::fromUtf8(text), ignored), QString(type));
    }

    // A new round goes to the end, shown as typed until the list is rendered again; the selection stays.
    void addRefusesUntilNumberOrCancel()
    {
        fakes->inputBox.answers = {"12.5",  "-5", "25 ", "1e3", "20m", "", "025", // small blind
                                   "50",                                          // big blind
                                   "99999", "05"};                                // minutes
        frm->cmd_BlindAdd_Click();
        const QString small = "The small blind amount must be a number, with no currency symbols, etc.";
        QCOMPARE(messages(), (QStringList{small, small, small, small, small, small,
                                          "The time entered must be a whole number of minutes from 0 to 32767."}));
        QCOMPARE(fakes->messageBox.calls[0].title, QStringLiteral("Error:"));
        QCOMPARE(fakes->messageBox.calls[0].icon, platform::Icon::Warning);
        QCOMPARE(fakes->inputBox.calls.at(0).title, QStringLiteral("Small Blind"));
        QCOMPARE(fakes->inputBox.calls.at(7).prompt, QStringLiteral("Enter the Big Blind amount:"));
        QCOMPARE(fakes->inputBox.calls.at(8).title, QStringLiteral("Round Time"));
        QCOMPARE(fakes->inputBox.calls.at(9).defaultText, QString()); // the field starts empty again

        QCOMPARE(frm->lst_Small.items(), QStringList{"025"});
        QCOMPARE(frm->lst_Big.items(), QStringList{"50"});
        QCOMPARE(frm->lst_Time.items(), QStringList{"300"});
        QCOMPARE(frm->lst_Blinds->list(0), QStringLiteral("Round 1: \u00A3025/\u00A350 for 05 mins."));

        add("30", "60", "10");
        add("40", "80", "10");
        frm->lst_Blinds->setListIndex(1);
        add("50", "100", "32767");
        QCOMPARE(frm->lst_Blinds->listIndex(), 1);
        QCOMPARE(frm->lst_Blinds->list(3), QStringLiteral("Round 4: \u00A350/\u00A3100 for 32767 mins."));
        QCOMPARE(frm->lst_Time.list(3), QStringLiteral("1966020"));
        frm->regenList();
        QCOMPARE(frm->lst_Blinds->list(0), QStringLiteral("Round 1: \u00A3025/\u00A350 for 5 mins."));
    }

    void addCancelAddsNothing()
    {
        for (int step = 0; step < 3; ++step) {
            fakes->inputBox.answers.assign(size_t(step), QStringLiteral("10"));
            fakes->inputBox.answers.push_back(std::nullopt);
            frm->cmd_BlindAdd_Click();
            QCOMPARE(frm->lst_Big.listCount(), 0);
            QCOMPARE(frm->lst_Blinds->listCount(), 0);
        }
        QVERIFY(fakes->messageBox.calls.empty());
    }

    // Remove, Up and Down need a selected round, stop at either end and move all three columns.
    void removeUpDown()
    {
        frm->cmd_BlindRem_Click();
        frm->cmd_BlindUp_Click();
        frm->cmd_BlindDown_Click();
        QCOMPARE(messages(), (QStringList{"Please select a blind amount to remove from the list.",
                                          "Please select a blind amount to move up the list.",
                                          "Please select a blind amount to move down the list."}));
        QCOMPARE(fakes->messageBox.calls[2].icon, platform::Icon::Information);

        drive::setSchedule(*frm, {"1/2/60", "3/4/120", "5/6/180"});
        frm->lst_Blinds->setListIndex(0);
        frm->cmd_BlindUp_Click();
        QCOMPARE(frm->lst_Small.items(), (QStringList{"1", "3", "5"}));
        frm->lst_Blinds->setListIndex(2);
        frm->cmd_BlindDown_Click();
        QCOMPARE(fakes->messageBox.calls.size(), size_t(3));

        frm->cmd_BlindUp_Click();
        QCOMPARE(frm->lst_Small.items(), (QStringList{"1", "5", "3"}));
        QCOMPARE(frm->lst_Time.items(), (QStringList{"60", "180", "120"}));
        QCOMPARE(frm->lst_Blinds->list(1), QStringLiteral("Round 2: \u00A35/\u00A36 for 3 mins."));
        QCOMPARE(frm->lst_Blinds->listIndex(), -1);
        frm->lst_Blinds->setListIndex(0);
        frm->cmd_BlindDown_Click();
        QCOMPARE(frm->lst_Big.items(), (QStringList{"6", "2", "4"}));
        QCOMPARE(frm->lst_Blinds->listIndex(), -1);

        frm->lst_Blinds->setListIndex(1);
        frm->cmd_BlindRem_Click();
        QCOMPARE(frm->lst_Small.items(), (QStringList{"5", "3"}));
        QCOMPARE(frm->lst_Blinds->list(1), QStringLiteral("Round 2: \u00A33/\u00A34 for 2 mins."));
        QCOMPARE(frm->lst_Blinds->listIndex(), -1);
        for (int i = 0; i < 2; ++i) {
            frm->lst_Blinds->setListIndex(0);
            frm->cmd_BlindRem_Click();
        }
        QCOMPARE(frm->lst_Blinds->listCount(), 0);
        QCOMPARE(frm->lst_Time.listCount(), 0);
    }

    // Clear List asks first; Yes empties the schedule and leaves the saved list showing no name.
    void clearList()
    {
        drive::setSchedule(*frm, {"1/2/60"});
        frm->cmb_BlindLoad->addItem(QStringLiteral("saved"));
        frm->cmb_BlindLoad->setCurrentIndex(0);
        fakes->messageBox.answers = {platform::Answer::No, platform::Answer::Yes};
        frm->cmd_Clear_Click();
        QCOMPARE(fakes->messageBox.calls[0].text,
                 QStringLiteral("Are you sure you want to clear your list of blind values?"));
        QCOMPARE(fakes->messageBox.calls[0].title, QStringLiteral("Please confirm:"));
        QCOMPARE(fakes->messageBox.calls[0].icon, platform::Icon::Question);
        QCOMPARE(frm->lst_Blinds->listCount(), 1);
        QCOMPARE(frm->cmb_BlindLoad->currentIndex(), 0);
        frm->cmd_Clear_Click();
        QCOMPARE(frm->lst_Blinds->listCount(), 0);
        QCOMPARE(frm->lst_Small.listCount(), 0);
        QCOMPARE(frm->cmb_BlindLoad->currentIndex(), -1);
        QCOMPARE(frm->cmb_BlindLoad->count(), 1);
    }
};

QTEST_MAIN(TestListEditing)
#include "test_listediting.moc"
