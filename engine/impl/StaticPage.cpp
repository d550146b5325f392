#include "engine/impl/StaticPage.h"

#include "engine/impl/Css.h"
#include "engine/impl/HtmlParser.h"
#include "engine/impl/TextMetrics.h"

namespace kvengine {

StaticPage RenderStaticPage(const std::wstring& text, bool source, const Viewport& viewport) {
    std::unique_ptr<Document> document;
    if (source) {
        document = std::make_unique<Document>();
        Node* pre = document->CreateElement(L"pre");
        document->Append(document->Body(), pre);
        document->Append(pre, document->CreateText(text));
    } else {
        document = ParseDocument(text);
    }
    StyleEngine styles;
    styles.Compute(*document);
    TextMeasurer measurer;
    PageLayout layout;
    layout.Run(*document, viewport, measurer);
    StaticPage page;
    page.title = document->Title();
    page.text = source ? text : ReadableText(*document);
    page.display = std::make_shared<DisplayList>(layout.Display());
    return page;
}

}  // namespace kvengine
