#include "blinds/SavedStructures.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QtTest>

class TestSaved : public WindowTest {
    Q_OBJECT
    QString folder() const { return fakes->folder.filePath(QStringLiteral("Saved Blinds")); }
    QString bld(const QString &name) const { return folder() + "/" + name + ".bld"; }
    QByteArray read(const QString &name) const
    {
        QFile f(bld(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(bld(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < frm->cmb_BlindLoad->count(); ++i)
            names << frm->cmb_BlindLoad->itemText(i);
        return names;
    }
private slots:
    void init() override
    {
        fakes = new fake::Platform;
        QDir(fakes->folder.path()).mkdir(QStringLiteral("Saved Blinds"));
        frm = new frm_Chiplark(fakes->services());
    }

    // A saved structure is listed (sorted without regard to case) and loads as it was saved.
    void saveListLoadRoundTrip()
    {
        frm->opt_AutoIncrease[2]->setChecked(true);
        frm->Command1_Click();
        const QStringList small = frm->lst_Small.items(), big = frm->lst_Big.items();
        fakes->inputBox.answers = {QStringLiteral("My Blind Structure")};
        frm->cmd_BlindSave_Click();
        QCOMPARE(fakes->inputBox.calls.at(0).prompt, QStringLiteral("Enter the name for this blind structure"));
        QCOMPARE(fakes->inputBox.calls.at(0).title, QStringLiteral("Save Name:"));
        QCOMPARE(fakes->inputBox.calls.at(0).defaultText, QStringLiteral("My Blind Structure"));
        QVERIFY(read("My Blind Structure").startsWith("25,50,1200\r\n28.75,57.5,1200\r\n33.35,66.7,1200\r\n"));
        QVERIFY(read("My Blind Structure").endsWith("182.85,358.8,1200\r\n"));
        QCOMPARE(listed(), QStringList{"My Blind Structure"});

        // An empty schedule is an empty file and loads as an empty list.
        drive::setSchedule(*frm, {});
        fakes->inputBox.answers = {QStringLiteral("empty")};
        frm->cmd_BlindSave_Click();
        QCOMPARE(read("empty"), QByteArray());

        write("zeta", "1,2,60\r\n");
        restart();
        QCOMPARE(listed(), (QStringList{"empty", "My Blind Structure", "zeta"}));
        QCOMPARE(frm->cmb_BlindLoad->currentIndex(), -1);
        load("My Blind Structure");
        QCOMPARE(frm->lst_Small.items(), small);
        QCOMPARE(frm->lst_Big.items(), big);
        QCOMPARE(frm->lst_Blinds->list(1), QStringLiteral("Round 2: \u00A328.75/\u00A357.5 for 20 mins."));
        load("empty");
        QCOMPARE(frm->lst_Blinds->listCount(), 0);
        QCOMPARE(frm->lst_Time.listCount(), 0);
    }

    // A forbidden character is refused and asked again; Cancel saves nothing; overwriting asks first.
    void namesAndOverwrite()
    {
        drive::setSchedule(*frm, {"5/10/600"});
        fakes->inputBox.answers = {QStringLiteral("a/b"), QStringLiteral("ab")};
        frm->cmd_BlindSave_Click();
        QCOMPARE(fakes->messageBox.calls.size(), size_t(1));
        QCOMPARE(fakes->messageBox.calls[0].text,
                 QStringLiteral("The name contains illegal characters. The name must not contain: \\/:*?\"<>|"));
        QCOMPARE(fakes->messageBox.calls[0].title, QStringLiteral("Error:"));
        QCOMPARE(fakes->messageBox.calls[0].icon, platform::Icon::Information);
        QCOMPARE(fakes->inputBox.calls.at(1).defaultText, QStringLiteral("a/b"));
        QCOMPARE(read("ab"), QByteArray("5,10,600\r\n"));

        fakes->inputBox.answers = {std::nullopt};
        frm->cmd_BlindSave_Click();
        fakes->inputBox.answers = {QString()};
        frm->cmd_BlindSave_Click();
        QCOMPARE(fakes->messageBox.calls.size(), size_t(1));

        // No leaves the file byte for byte; Yes replaces it, listed once.
        drive::setSchedule(*frm, {"5/10/600", "7/14/60"});
        fakes->inputBox.answers = {QStringLiteral("ab"), QStringLiteral("ab")};
        fakes->messageBox.answers = {platform::Answer::No, platform::Answer::Yes};
        frm->cmd_BlindSave_Click();
        QCOMPARE(fakes->messageBox.calls.back().title, QStringLiteral("File Exists:"));
        QCOMPARE(fakes->messageBox.calls.back().buttons, platform::Buttons::YesNo);
        QCOMPARE(read("ab"), QByteArray("5,10,600\r\n"));
        frm->cmd_BlindSave_Click();
        QCOMPARE(read("ab"), QByteArray("5,10,600\r\n7,14,60\r\n"));
        QCOMPARE(listed(), QStringList{"ab"});
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"ab.bld"});
    }

    // Short lines of a hand-made file are skipped, extra fields ignored; the columns stay equal.
    void readingHandMadeFiles()
    {
        const StructureRows rows = parseStructure("1,2,60\nshort,line\r\n\r\n3,4,120,extra,fields\r\r\n\xA3"
                                                  "5,6,180");
        QCOMPARE(rows.small, (QStringList{"1", "3", "\u00A35"}));
        QCOMPARE(rows.big, (QStringList{"2", "4", "6"}));
        QCOMPARE(rows.time, (QStringList{"60", "120", "180"}));
        QCOMPARE(parseStructure(",,\r\n").big, QStringList{""}); // three empty fields are a row
        // A schedule never grows past what its round numbers can count.
        QCOMPARE(parseStructure(QByteArray("1,2,3\r\n").repeated(MaxRounds + 5)).time.size(), MaxRounds);

        QVERIFY(FileNameCheck("a:b", ForbiddenNameCharacters));
        QVERIFY(!FileNameCheck("", ForbiddenNameCharacters));
        QVERIFY(!FileNameCheck("Friday night", ForbiddenNameCharacters));
    }

    void missingFolder()
    {
        QVERIFY(QDir(folder()).removeRecursively());
        restart();
        QCOMPARE(frm->cmb_BlindLoad->count(), 0);
        fakes->inputBox.answers = {QStringLiteral("x")};
        frm->cmd_BlindSave_Click();
        QCOMPARE(fakes->messageBox.calls.size(), size_t(1));
        QCOMPARE(fakes->messageBox.calls[0].title, QStringLiteral("Save Error:"));
        QCOMPARE(fakes->messageBox.calls[0].icon, platform::Icon::Error);
        QCOMPARE(frm->cmb_BlindLoad->count(), 0);
        QVERIFY(!QDir(folder()).exists());
    }

    void choosingWithMouseAndKeys()
    {
        write("one", "1,2,60\r\n");
        write("two", "10,20,60\r\n20,40,60\r\n");
        restart();
        frm->show();
        QVERIFY(QTest::qWaitForWindowActive(frm));
        // A pick with the mouse loads before the handler returns and moves the focus on.
        frm->cmb_BlindLoad->setFocus();
        frm->cmb_BlindLoad->setCurrentIndex(0);
        emit frm->cmb_BlindLoad->activated(0);
        QCOMPARE(frm->lst_Small.items(), QStringList{"1"});
        QCOMPARE(QApplication::focusWidget(), frm->lst_Blinds);

        // Stepping with the arrow keys loads only when the focus leaves the box.
        frm->cmb_BlindLoad->setFocus();
        QTest::keyClick(frm->cmb_BlindLoad, Qt::Key_Down);
        QCOMPARE(frm->cmb_BlindLoad->currentText(), QStringLiteral("two"));
        QCOMPARE(frm->lst_Small.items(), QStringList{"1"});
        QVERIFY(!frm->arrowKeyPressed);
        QTest::keyClick(frm->cmb_BlindLoad, Qt::Key_Tab);
        QCOMPARE(frm->lst_Small.items(), (QStringList{"10", "20"}));

        // Passing through the box after edits loads the structure again ...
        frm->lst_Blinds->setListIndex(0);
        frm->cmd_BlindRem_Click();
        QCOMPARE(frm->lst_Small.listCount(), 1);
        frm->cmb_BlindLoad->setFocus();
        frm->txt_Title->setFocus();
        QCOMPARE(frm->lst_Small.listCount(), 2);
        // ... but not after Clear List, which leaves the box showing no name.
        fakes->messageBox.answers = {platform::Answer::Yes};
        frm->cmd_Clear_Click();
        QCOMPARE(frm->cmb_BlindLoad->currentIndex(), -1);
        frm->cmb_BlindLoad->setFocus();
        frm->txt_Title->setFocus();
        QCOMPARE(frm->lst_Small.listCount(), 0);
    }

    // Opening and closing the box's own list, by mouse or keyboard, the first time in the
    // window's life or later, is not leaving the box: the edits stay. Leaving it reloads.
    void openingOwnListKeepsEdits()
    {
        write("two", "10,20,60\r\n20,40,60\r\n");
        restart();
        frm->show();
        QVERIFY(QTest::qWaitForWindowActive(frm));
        load("two");
        frm->lst_Blinds->setListIndex(0);
        frm->cmd_BlindRem_Click();
        QCOMPARE(frm->lst_Small.items(), QStringList{"20"});
        QWidget *popup = frm->cmb_BlindLoad->view()->window();

        frm->cmb_BlindLoad->setFocus();
        const auto openAndClose = [&](const char *how, const std::function<void()> &open) {
            open();
            QTRY_VERIFY2(popup->isVisible(), how);
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : popup, Qt::Key_Escape);
            QTRY_VERIFY2(!popup->isVisible(), how);
            QVERIFY2(frm->lst_Small.items() == QStringList{"20"}, how);
        };
        openAndClose("mouse, first time", [&] { QTest::mouseClick(frm->cmb_BlindLoad, Qt::LeftButton); });
        openAndClose("mouse, again", [&] { QTest::mouseClick(frm->cmb_BlindLoad, Qt::LeftButton); });
        openAndClose("Alt+Down", [&] { QTest::keyClick(frm->cmb_BlindLoad, Qt::Key_Down, Qt::AltModifier); });
        openAndClose("F4", [&] { QTest::keyClick(frm->cmb_BlindLoad, Qt::Key_F4); });
        QVERIFY(frm->isVisible());
        QCOMPARE(frm->lst_Small.items(), QStringList{"20"});

        QTest::keyClick(frm->cmb_BlindLoad, Qt::Key_Tab);
        QCOMPARE(frm->lst_Small.items(), (QStringList{"10", "20"}));
    }
};

QTEST_MAIN(TestSaved)
#include "test_saved.moc"
