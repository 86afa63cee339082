// The real message boxes, waiting and asking, answered by a timer once the box is up.
#include "pages/MessageBoxDialogs.h"

#include "pages/SystemTexts.h"
#include "support/UserLanguages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tarvex;

namespace {

enum class Action { ClickOk, ClickCancel, PressEscape, PressEnter };

struct Seen {
    bool found = false;
    QString title;
    QString text;
    QString details;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* parent = nullptr;
};

// Answers the next modal message box as told and remembers what it showed.
void answerNextBox(Action action, Seen& seen) {
    QTimer::singleShot(0, [action, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.details = box->detailedText();
        seen.modality = box->windowModality();
        seen.parent = box->parentWidget();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->defaultButton() != nullptr
                                 ? box->standardButton(box->defaultButton())
                                 : QMessageBox::NoButton;
        switch (action) {
        case Action::ClickOk:
            box->button(QMessageBox::Ok)->click();
            break;
        case Action::ClickCancel:
            box->button(QMessageBox::Cancel)->click();
            break;
        case Action::PressEscape:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case Action::PressEnter:
            QTest::keyClick(box, Qt::Key_Return);
            break;
        }
    });
}

} // namespace

TEST(MessageBoxDialogs, ShowsTitleTextButtonsAndAnswersAsTheUserChose) {
    const struct {
        const char* name;
        std::optional<QString> title;
        MessageButtons buttons;
        MessageIcon icon;
        Action action;
        const char* shownTitle;
        MessageAnswer answer;
        const char* details = "";
    } rows[] = {
        {"no title shows the program", std::nullopt, MessageButtons::Ok, MessageIcon::None,
         Action::ClickOk, "Tarvex", MessageAnswer::Ok},
        {"own title", QStringLiteral("Warning"), MessageButtons::Ok, MessageIcon::None,
         Action::ClickOk, "Warning", MessageAnswer::Ok},
        {"OK of a question", QStringLiteral("Warning"), MessageButtons::OkCancel, MessageIcon::None,
         Action::ClickOk, "Warning", MessageAnswer::Ok},
        {"Cancel of a question", QStringLiteral("Warning"), MessageButtons::OkCancel,
         MessageIcon::None, Action::ClickCancel, "Warning", MessageAnswer::Cancel},
        {"Esc is Cancel", QStringLiteral("提示"), MessageButtons::OkCancel, MessageIcon::None,
         Action::PressEscape, "提示", MessageAnswer::Cancel},
        {"Enter is OK", std::nullopt, MessageButtons::OkCancel, MessageIcon::None,
         Action::PressEnter, "Tarvex", MessageAnswer::Ok},
        {"exclamation", std::nullopt, MessageButtons::Ok, MessageIcon::Exclamation, Action::ClickOk,
         "Tarvex", MessageAnswer::Ok},
        {"details on request", std::nullopt, MessageButtons::Ok, MessageIcon::Exclamation,
         Action::ClickOk, "Tarvex", MessageAnswer::Ok, "eth0: no cable.\nFix: plug it in."},
    };
    for (const auto& row : rows) {
        // Every other box asks instead of waiting.
        const bool waits = (&row - rows) % 2 == 0;
        SCOPED_TRACE(std::string(row.name) + (waits ? ", waiting" : ", asking"));
        // The window the box is to stand over, as the wizard's page window names it.
        QWidget owner;
        MessageBoxDialogs dialogs([&owner] { return &owner; });
        Seen seen;
        answerNextBox(row.action, seen);
        const Message message{QStringLiteral("Are you sure of exiting program?"), row.title,
                              row.buttons, row.icon, QString::fromUtf8(row.details)};
        std::optional<MessageAnswer> answer;
        if (waits) {
            answer = dialogs.showMessage(message);
        } else {
            dialogs.ask(message, [&answer](MessageAnswer given) { answer = given; });
            EXPECT_FALSE(answer) << "answered from the event loop, not inside the call";
            ASSERT_TRUE(QTest::qWaitFor([&answer] { return answer.has_value(); }, 5000));
        }
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
        EXPECT_EQ(seen.parent, &owner);
        EXPECT_EQ(answer, row.answer);
        EXPECT_EQ(seen.title, QString::fromUtf8(row.shownTitle));
        EXPECT_EQ(seen.text, message.text);
        EXPECT_EQ(seen.details, message.details);
        EXPECT_EQ(seen.icon,
                  row.icon == MessageIcon::None ? QMessageBox::NoIcon : QMessageBox::Warning);
        const QMessageBox::StandardButtons expectedButtons =
            row.buttons == MessageButtons::Ok ? QMessageBox::Ok
                                              : (QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(seen.buttons, expectedButtons);
        EXPECT_EQ(seen.defaultButton, QMessageBox::Ok);
    }
}

// Qt's own buttons speak the wizard's language: Chinese where it takes the Chinese set, and
// exactly as without a translation everywhere else.
TEST(MessageBoxDialogs, TheUsersLanguageGivesTheButtonsTheirTexts) {
    for (const tarvex::testing::LanguageRow& row : tarvex::testing::languageRows()) {
        SCOPED_TRACE(row.name);
        const int textBase = tarvex::testing::textBaseUnder(row);
        ASSERT_EQ(textBase, row.textBase);
        const auto translator = loadSystemTexts(textBase);
        ASSERT_EQ(translator != nullptr, textBase == 500) << "qt6-translations-l10n is missing";
        if (translator) {
            QApplication::installTranslator(translator.get());
        }
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        const QString ok = box.button(QMessageBox::Ok)->text();
        const QString cancel = box.button(QMessageBox::Cancel)->text();
        if (translator) {
            QApplication::removeTranslator(translator.get());
        }
        EXPECT_TRUE(ok.contains(textBase == 500 ? QStringLiteral("確定") : QStringLiteral("OK")))
            << ok.toStdString();
        EXPECT_TRUE(
            cancel.contains(textBase == 500 ? QStringLiteral("取消") : QStringLiteral("Cancel")))
            << cancel.toStdString();
    }
}

// The details of the no-appliance box come from a diagnosis that may take half a second: the box
// is up at once, the details join it when found, and a fix that wraps hangs under its label.
TEST(MessageBoxDialogs, DetailsFoundLaterJoinTheOpenBoxAndAFixWrapsUnderItsLabel) {
    QWidget owner;
    MessageBoxDialogs dialogs([&owner] { return &owner; });
    const MessageDetails details = MessageDetails::later();
    std::optional<MessageAnswer> answer;
    dialogs.ask({QStringLiteral("Scan error."), std::nullopt, MessageButtons::Ok, MessageIcon::None,
                 details},
                [&answer](MessageAnswer given) { answer = given; });
    QMessageBox* box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&box] {
        box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        return box != nullptr;
    }));
    EXPECT_TRUE(box->detailedText().isEmpty());
    const QString fix = QStringLiteral("  Fix: sudo sysctl -w net.ipv4.conf.all.rp_filter=2 "
                                       "net.ipv4.conf.eth0.rp_filter=2 and then run it again");
    details.set(QStringLiteral("eth0 filters strictly by reverse path.\n") + fix);
    EXPECT_EQ(box->detailedText(), details.text());
    auto* edit = box->findChild<QTextEdit*>();
    ASSERT_NE(edit, nullptr);
    QTextDocument* document = edit->document();
    document->setTextWidth(240); // narrow enough for the fix to wrap
    (void)document->size();      // lays it out
    const QTextLayout* layout = document->findBlockByNumber(1).layout();
    ASSERT_GE(layout->lineCount(), 2);
    const qreal afterLabel =
        layout->lineAt(0).cursorToX(static_cast<int>(QStringLiteral("  Fix: ").size()));
    EXPECT_NEAR(layout->lineAt(1).x(), afterLabel, 1.0);
    EXPECT_NEAR(document->findBlockByNumber(0).layout()->lineAt(0).x(), 0.0, 1.0);
    box->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(QTest::qWaitFor([&answer] { return answer.has_value(); }));
}
