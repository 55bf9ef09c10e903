#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The error window: what went wrong, Continue or Exit, and the details on
// request. Sizes are in twips, as the window was laid out.
class frmError : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 6630; // inside the frame
    // The two heights are the window's outer heights, caption and borders
    // included; the area inside is that much less.
    static constexpr int kShortHeightTwips = 2040;
    static constexpr int kTallHeightTwips = 4350;
    static constexpr int kFrameHeightTwips = 375;

    explicit frmError(QWidget *parent = nullptr);

    void setUserMessage(const QString &text);
    void setDetails(const QString &text);
    // 5 Continue, 3 Exit. Closing the window from its title bar continues.
    int answer() const { return m_answer; }
    bool detailsShown() const { return m_detailsShown; }
    int heightTwips() const; // outer

    QLabel *lblUserMsg;
    QPushButton *cmdContinue;
    QPushButton *cmdExit;
    QPushButton *cmdDetails;
    QPlainTextEdit *txtDetails;

private:
    void cmdContinue_Click();
    void cmdExit_Click();
    void cmdDetails_Click();
    void setHeightTwips(int twips);

    int m_answer = 5;
    bool m_detailsShown = false;
};
