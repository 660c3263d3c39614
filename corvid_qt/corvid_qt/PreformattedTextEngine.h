#ifndef CORVID_QT_PREFORMATTEDTEXTENGINE_H
#define CORVID_QT_PREFORMATTEDTEXTENGINE_H

#include "corvid_qt_export.h"

#include <qwt_text.h>
#include <qwt_text_engine.h>

namespace Corvid_Qt {

/**
 * A text engine for the small rich-text subset of the statistics panels:
 * `<pre>` blocks with `<b>` runs, text after a block as a paragraph of its
 * own, the entities &lt; &gt; &amp; &quot; &nbsp; and character
 * references (decimal or hexadecimal). Other tags are skipped.
 *
 * It lays the text out with font metrics only, without a text document, so
 * that panels redrawn on every frame stay cheap. Preformatted lines are drawn
 * in a fixed-pitch font of the painter's size, so that the padded templates
 * line up at their colons; line heights and the 12 pixel gap between a block
 * and a following paragraph follow the rich-text layout.
 *
 * Register it once with registerEngine(); texts then use the format
 * PreformattedTextEngine::format. The engine never claims AutoText texts.
 */
class CORVID_QT_EXPORT PreformattedTextEngine : public QwtTextEngine
{
public:
    /// The QwtText format served by this engine.
    static const QwtText::TextFormat format = QwtText::TextFormat(QwtText::OtherFormat + 0x56);

    /// Installs the engine for `format`, once per process; the text engine
    /// table of the plotting library owns it.
    static void registerEngine();

    /// A QwtText of `text` in `format`, with the engine registered.
    static QwtText text(const QString &text);

    /// The fixed-pitch font used for preformatted lines of `font`'s size.
    static QFont fixedFont(const QFont &font);

    PreformattedTextEngine();

    double heightForWidth(const QFont &font, int flags, const QString &text, double width) const override;
    QSizeF textSize(const QFont &font, int flags, const QString &text) const override;
    bool mightRender(const QString &text) const override;
    void textMargins(const QFont &font, const QString &text, double &left, double &right, double &top,
                     double &bottom) const override;
    void draw(QPainter *painter, const QRectF &rect, int flags, const QString &text) const override;
};

} // namespace Corvid_Qt

#endif
