#include "WebPane.h"

#include "WebSchemeRule.h"
#include "WebViewLoader.h"
#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/IShell.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/TextLimit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

namespace {

const QUrl kBlank(QStringLiteral("about:blank"));

// How long after the window first shows the text browser is made: past the
// start-up's own work and first paint, before a user's first click.
constexpr int kReadyAheadMs = 300;

// An address as the debug log shows it: no password, no endless text.
QString logged(const QUrl &url)
{
    return TextLimit::left(url.toString(QUrl::RemoveUserInfo), 200);
}

} // namespace

WebPane::WebPane(QWidget *parent) : QObject(parent), m_picture(new QWidget(parent))
{
    m_picture->setObjectName(QStringLiteral("oWebPicture"));
    m_picture->hide();
    if (parent)
        parent->installEventFilter(this);
}

WebPane::~WebPane() = default;

bool WebPane::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched == parent()) {
        watched->removeEventFilter(this);
        QTimer::singleShot(kReadyAheadMs, this, &WebPane::readyAhead);
    }
    return false;
}

// The text browser's page reader starts with it, and a reader started cold
// readies its fonts first: made ahead, the first page does not wait for it.
void WebPane::readyAhead()
{
    if (m_view || !WebViewLoader::textViewComing())
        return;
    makeView();
    m_view->widget()->hide();
}

void WebPane::makeView()
{
    m_view = WebViewLoader::create(m_picture, *this);
    m_view->widget()->setGeometry(m_viewRect);
}

void WebPane::setViewGeometry(const QRect &rect)
{
    m_viewRect = rect;
    if (m_view)
        m_view->widget()->setGeometry(rect);
}

IWebView &WebPane::shownView()
{
    if (!m_view)
        makeView();
    m_picture->show();
    m_view->widget()->show();
    m_picture->raise();
    return *m_view;
}

void WebPane::hide()
{
    if (m_picture->isHidden())
        return;
    if (m_view) {
        m_view->load(kBlank);
        m_view->widget()->hide();
    }
    m_picture->hide();
}

void WebPane::showAddress(const QString &address)
{
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    shownView().load(mayOpen(url) ? url : kBlank);
}

void WebPane::showText(QString &text)
{
    const QString page = generatedPage(text);
    shownView().load(QUrl::fromLocalFile(page));
}

QString WebPane::generatedFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return QFileInfo(programFolder).isWritable() ? programFolder : LogFolder();
}

QString WebPane::generatedPage(QString &text)
{
    for (QChar c : QStringLiteral("<>*'\"/\\=+[]:;?"))
        text.replace(c, u'_');
    const QString path = generatedFolder() + u'/' + text + QStringLiteral(".html");
    if (QFile::exists(path))
        return path;
    QFile page(path);
    if (!page.open(QIODevice::WriteOnly | QIODevice::Text))
        throw AppError(ErrNo::Busy, QStringLiteral("frmMain.displayWebText"), page.errorString());
    page.write(QStringLiteral("<html><head>\n<META NAME=\"GENERATOR\" Content=\"Tessaly\">\n<TITLE>Qel</TITLE>"
                              "</HEAD><BODY>\n<P>&nbsp;</P>\n<H1 align=center><FONT face=Tahoma>%1</FONT></H1>\n"
                              "</BODY></HTML>\n")
                   .arg(text.toHtmlEscaped())
                   .toUtf8());
    return path;
}

bool WebPane::mayOpen(const QUrl &url)
{
    switch (WebSchemeRule::verdictFor(url, generatedFolder())) {
    case WebSchemeRule::Open:
        return true;
    case WebSchemeRule::Desktop:
        WriteDebugLog(QStringLiteral("Web pane: handed to the desktop: ") + logged(url));
        if (!g_shell->openUrl(url))
            noMailProgram(url);
        return false;
    case WebSchemeRule::Refuse:
        break;
    }
    refused(url);
    return false;
}

// A click that did nothing would leave the user waiting for a mail window.
// Told once the engine's question has been answered, never inside it; the
// address, a page's text, stays in the log.
void WebPane::noMailProgram(const QUrl &url)
{
    WriteDebugLog(QStringLiteral("Web pane: no mail program opened ") + logged(url));
    QMetaObject::invokeMethod(
        this,
        [] {
            g_prompt->message(QStringLiteral("No mail program could open the link's mail address. Choose a mail "
                                             "program for the desktop."),
                              IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("E-mail"));
        },
        Qt::QueuedConnection);
}

void WebPane::refused(const QUrl &url)
{
    WriteDebugLog(QStringLiteral("Web pane: refused ") + logged(url));
}
