#pragma once

#include <com/sun/star/frame/XModel.hpp>
#include <vector>

// The presentations created hidden through one application object, waiting to be shown
// together when the application is made visible.
//
// Owns: references to those documents (released with this object), not the documents: the
// office's desktop keeps them once shown. It never closes one; UnoPresentation does that for
// its own document when its template cannot be applied.
namespace slidevane {

class HiddenPresentations {
public:
    void Add(const css::uno::Reference<css::frame::XModel>& document);
    void Replace(const css::uno::Reference<css::frame::XModel>& old,
                 const css::uno::Reference<css::frame::XModel>& replacement);
    void Remove(const css::uno::Reference<css::frame::XModel>& document);
    // Lets go of every reference (the connection they came through is gone).
    void Clear() { documents_.clear(); }

    // Shows (and raises) or hides the window of every document; office errors propagate.
    void SetVisible(bool visible);

private:
    std::vector<css::uno::Reference<css::frame::XModel>> documents_;
};

} // namespace slidevane
