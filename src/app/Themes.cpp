#include "app/Themes.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

using namespace Qt::StringLiterals;

namespace themes {
namespace {

struct Colours
{
    QColor window, text, base, alternateBase, button, highlight, link;
    QColor ribbonTop, ribbonBottom, ribbonBorder, tabRow, tabSelected, panelTitle, appButton;
    bool dark;
};

const Colours &coloursOf(Look look)
{
    // One row of colours per look, in the order of Colours' members.
    // clang-format off
    static const Colours klasik{QColor(0xe9, 0xf1, 0xf2), Qt::black, Qt::white, QColor(0xf2, 0xf7, 0xf7),
                                QColor(0xe1, 0xec, 0xee), QColor(0x2a, 0x8a, 0x9a), QColor(0x0b, 0x6a, 0x7a),
                                QColor(0xf4, 0xfa, 0xfb), QColor(0xcf, 0xe6, 0xea), QColor(0x8a, 0xb8, 0xc0),
                                QColor(0xbf, 0xdc, 0xe1), QColor(0xf4, 0xfa, 0xfb), QColor(0x2f, 0x5f, 0x66),
                                QColor(0x1f, 0x8f, 0x9f), false};
    static const Colours siyah{QColor(0x2d, 0x2d, 0x30), QColor(0xe8, 0xe8, 0xe8), QColor(0x1e, 0x1e, 0x1e),
                               QColor(0x26, 0x26, 0x29), QColor(0x3c, 0x3c, 0x40), QColor(0x3d, 0x7a, 0xb8),
                               QColor(0x7a, 0xb8, 0xff), QColor(0x4a, 0x4a, 0x4e), QColor(0x2a, 0x2a, 0x2d),
                               QColor(0x11, 0x11, 0x11), QColor(0x1b, 0x1b, 0x1d), QColor(0x4a, 0x4a, 0x4e),
                               QColor(0xc8, 0xc8, 0xc8), QColor(0xd0, 0x6a, 0x1c), true};
    static const Colours modern{QColor(0xf5, 0xf6, 0xf7), Qt::black, Qt::white, QColor(0xf7, 0xf9, 0xfb),
                                QColor(0xfd, 0xfd, 0xfd), QColor(0x33, 0x99, 0xff), QColor(0x00, 0x66, 0xcc),
                                Qt::white, Qt::white, QColor(0xda, 0xdb, 0xdc), QColor(0xff, 0xff, 0xff),
                                Qt::white, QColor(0x5b, 0x5b, 0x5b), QColor(0x19, 0x79, 0xca), false};
    static const Colours mavi{QColor(0xd6, 0xe3, 0xf2), Qt::black, Qt::white, QColor(0xec, 0xf2, 0xfa),
                              QColor(0xdb, 0xe7, 0xf6), QColor(0x31, 0x6a, 0xc5), QColor(0x15, 0x41, 0x8c),
                              QColor(0xe3, 0xed, 0xfa), QColor(0xc1, 0xd6, 0xf0), QColor(0x8d, 0xb2, 0xe3),
                              QColor(0xbf, 0xdb, 0xff), QColor(0xe3, 0xed, 0xfa), QColor(0x15, 0x41, 0x8c),
                              QColor(0x2a, 0x5b, 0xb0), false};
    static const Colours gumus{QColor(0xe9, 0xea, 0xee), Qt::black, Qt::white, QColor(0xf3, 0xf4, 0xf6),
                               QColor(0xe6, 0xe8, 0xec), QColor(0x6b, 0x78, 0x8c), QColor(0x3c, 0x4a, 0x60),
                               QColor(0xf6, 0xf7, 0xf9), QColor(0xd9, 0xdc, 0xe2), QColor(0xa5, 0xab, 0xb6),
                               QColor(0xd0, 0xd4, 0xdc), QColor(0xf6, 0xf7, 0xf9), QColor(0x4c, 0x53, 0x60),
                               QColor(0x7b, 0x84, 0x94), false};
    // clang-format on
    switch (look) {
    case Look::Klasik: return klasik;
    case Look::Siyah: return siyah;
    case Look::Modern: return modern;
    case Look::Mavi: return mavi;
    case Look::Gumus: return gumus;
    }
    return mavi;
}

} // namespace

bool isThemeId(unsigned id)
{
    return id >= kFirstId && id <= kLastId;
}

Look lookFor(unsigned id)
{
    switch (id) {
    case cmd::Windows2000Tema: return Look::Klasik; // the plain default look
    case cmd::OfficeXpTema: return Look::Gumus;
    case cmd::WindowsXpTema: return Look::Modern; // native
    case cmd::Office2003Tema: return Look::Mavi;
    case cmd::VisualStudio2005Tema: return Look::Gumus;
    case cmd::MaviTema: return Look::Mavi;
    case cmd::SiyahTema: return Look::Siyah;
    case cmd::GumusTema: return Look::Gumus;
    case cmd::KlasikTema: return Look::Klasik;
    case cmd::ModernTema: return Look::Modern;
    default: return Look::Mavi; // Visual Studio 2008, the four Office 2007 looks, anything else
    }
}

QPalette palette(Look look)
{
    const Colours &c = coloursOf(look);
    QPalette p;
    p.setColor(QPalette::Window, c.window);
    p.setColor(QPalette::WindowText, c.text);
    p.setColor(QPalette::Base, c.base);
    p.setColor(QPalette::AlternateBase, c.alternateBase);
    p.setColor(QPalette::Text, c.text);
    p.setColor(QPalette::Button, c.button);
    p.setColor(QPalette::ButtonText, c.text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Highlight, c.highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, c.link);
    p.setColor(QPalette::LinkVisited, c.link);
    p.setColor(QPalette::ToolTipBase, c.dark ? QColor(0x3c, 0x3c, 0x40) : QColor(0xff, 0xff, 0xe1));
    p.setColor(QPalette::ToolTipText, c.text);
    p.setColor(QPalette::PlaceholderText, c.dark ? QColor(0x9a, 0x9a, 0x9a) : QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Light, c.button.lighter(c.dark ? 130 : 150));
    p.setColor(QPalette::Midlight, c.button.lighter(115));
    p.setColor(QPalette::Mid, c.button.darker(c.dark ? 120 : 130));
    p.setColor(QPalette::Dark, c.button.darker(c.dark ? 150 : 200));
    p.setColor(QPalette::Shadow, Qt::black);
    const QColor disabled = c.dark ? QColor(0x80, 0x80, 0x80) : QColor(0x9a, 0x9a, 0x9a);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::Base, c.window);
    return p;
}

Ribbon::Colours ribbonColours(Look look)
{
    const Colours &c = coloursOf(look);
    return {c.text, c.tabRow, c.ribbonBorder, c.tabSelected, c.ribbonTop, c.ribbonBottom, c.panelTitle, c.appButton};
}

Ribbon::Colours apply(unsigned id)
{
    const Look look = lookFor(id);
    QApplication::setPalette(palette(look));
    return ribbonColours(look);
}

} // namespace themes
