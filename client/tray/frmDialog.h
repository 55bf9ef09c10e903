#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QPropertyAnimation;
class QPushButton;

// The slide-in notice by the tray corner: a watched colleague now In, an
// instant message, a chat invitation (Join) or the offer to check back in.
// It never takes the keyboard focus and deletes itself once slid out, so
// whoever made it may drop it at any time, mid-slide included.
class frmDialog : public QWidget
{
    Q_OBJECT
public:
    frmDialog();

    void setAlwaysOnTop();
    void setDueBack(double dueBack) { m_dueBack = dueBack; }
    // Texts from the network and the database: shown as they are, never as markup.
    void setTitle(const QString &title);
    void setMessage(const QString &message);
    void setFrom(const QString &from);
    // Shows Join; a click hands the room to joinChat. The notice stays.
    void setJoinChat(const QString &roomId, std::function<void(const QString &)> joinChat);
    // Shows Check In; a click sets the signed-in user In.
    void setCheckIn();
    void display();   // slides into its slot
    void undisplay(); // slides out, then deletes itself

    bool isLeaving() const { return m_leaving; }
    double dueBack() const { return m_dueBack; }

private:
    void imgCheckIn_Click();
    void imgJoinChat_Click();
    void slideTo(const QPoint &target);

    QLabel *lblTitle;
    QLabel *lblFrom;
    QLabel *lblMessage;
    QPushButton *imgCheckIn;
    QPushButton *imgJoinChat;
    QPushButton *imgClose;
    QPropertyAnimation *m_slide;
    QPoint m_outside;
    QString m_room;
    std::function<void(const QString &)> m_joinChat;
    double m_dueBack = 0;
    bool m_leaving = false;
};
