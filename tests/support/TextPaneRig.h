#pragma once

#include "TestSupport.h"
#include "mainwindow/PageReaderProcess.h"
#include "mainwindow/TextWebView.h"

#include <QDirIterator>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

// The text pane in a shown window at the width the main window gives it,
// opening every page it is given from a file, as it opens generated pages.
class TextPaneRig : public IWebViewHost
{
public:
    TextPaneRig()
    {
        PageReaderProcess::setProgram(QStringLiteral(TESSALY_PAGEREADER));
        browser()->resize(880, 600), m_window.show();
    }
    bool mayOpen(const QUrl &) override { return true; }
    void refused(const QUrl &) override { }
    void loadStarted() override { m_done = false; } // the page before it ended as it started
    void loadFinished(bool ok) override { m_shown = ok, m_done = true, m_loaded.quit(); }

    // The HTML manuals of the Debian packages scripts/install-deps.sh installs.
    static QStringList manualPages()
    {
        QStringList files;
        for (const char *folder : {"/usr/share/doc/diffutils", "/usr/share/doc/libexpat1-dev", "/usr/share/doc/libxslt1-dev"})
            for (QDirIterator it(QLatin1String(folder), {QStringLiteral("*.html")}, QDir::Files,
                                 QDirIterator::Subdirectories);
                 it.hasNext();)
                files << it.next();
        return files;
    }

    QString folder() const { return m_folder.path(); }
    QTextBrowser *browser() { return qobject_cast<QTextBrowser *>(m_view.widget()); }
    PageReaderProcess *reader() { return m_view.findChild<PageReaderProcess *>(); }
    // Starts showing the page, saved under that name; false when it could
    // not be saved.
    bool start(const QByteArray &html, const QString &name = QStringLiteral("page.html"))
    {
        const QString file = m_folder.filePath(name);
        if (!saveFile(file, html))
            return false;
        m_shown = m_done = false;
        m_view.load(QUrl::fromLocalFile(file));
        return true;
    }
    // Shows the page and lays it out whole; gives whether it was shown.
    bool show(const QByteArray &html, const QString &name = QStringLiteral("page.html"))
    {
        if (!start(html, name))
            return false;
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, &m_loaded, &QEventLoop::quit);
        guard.start(2 * PageReaderProcess::TimeLimitMs); // past the reader's own limit, so its message is seen
        if (!m_done)
            m_loaded.exec();
        browser()->document()->size();
        return m_shown;
    }

private:
    QTemporaryDir m_folder;
    QEventLoop m_loaded;
    QWidget m_window;
    TextWebView m_view{&m_window, *this};
    bool m_shown = false, m_done = false;
};
