#pragma once

#include <QList>
#include <QString>

// Which string of the string table each caption and tool tip of the main
// window shows. Controls are named as the window names them ("mnuFile",
// "mnuHelpSub(3)"); tool-bar tips go by button key.
class MenuCaptions
{
public:
    struct Caption
    {
        QString control;
        int id;         // the text, or the "Show" text of a two-state item
        int checkedId;  // the "Hide" text while the item is checked; 0 for none
    };
    struct ToolTip
    {
        QString key;
        int id;
    };

    static const QList<Caption> &captions();
    static const QList<ToolTip> &toolTips();
    static constexpr int WindowCaption = 140;
    static constexpr int FindButton = 296;
};
