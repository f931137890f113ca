#pragma once

#include "data/LinkStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// Links to and from the bookmarks file every browser exports and imports
// (the Netscape bookmark HTML).
namespace exchange {

// Every link as a bookmark, its notes as the bookmark's description. The
// links carry no date of their own: `addDate` (seconds since 1970) is given
// to all of them.
QByteArray bookmarksHtml(const std::vector<Link> &links, qint64 addDate);

struct BookmarksRead
{
    std::vector<Link> links; // in the file's order, folders flattened
    QString error;           // set, with no links, when the file is not a bookmarks file
};

// The links of a bookmarks file with their titles and descriptions; folders,
// separators and a browser's own "place:" queries are left out.
BookmarksRead readBookmarks(QByteArrayView bytes);

} // namespace exchange
