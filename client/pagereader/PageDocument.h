#pragma once

#include <QTextDocument>

// The document the text pane lays a page out in, and the reader measures
// it in. The text browser's own would read every style sheet a page names
// straight from the disk, whatever the page's scheme (an endless one for
// file:///dev/zero), and open a picture by its name as a path (a FIFO, a
// device, another user's file); this one fetches nothing, and its pictures
// have no size and draw nothing.
class PageDocument : public QTextDocument
{
public:
    explicit PageDocument(QObject *parent = nullptr);

protected:
    QVariant loadResource(int, const QUrl &) override { return {}; }
};
