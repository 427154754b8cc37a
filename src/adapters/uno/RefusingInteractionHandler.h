#pragma once

#include <atomic>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

// The office's questions while it reads a template for the program: a password, whether to
// repair a damaged file, which options a filter should use. The program never lets the office
// ask the user anything on its behalf, so each question is answered with "abort" at once, and
// the kind of question is kept to tell the user why the template could not be opened.
//
// Owns: the record of what was asked. It does not decide what the failure means; the loader
// that handed it to the office does.
namespace slidevane {

class RefusingInteractionHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    enum class Question { None, Password, Repair, Other };

    void SAL_CALL
    handle(const css::uno::Reference<css::task::XInteractionRequest>& request) override;

    // The first question the office asked, or None.
    Question Asked() const { return asked_.load(); }

private:
    std::atomic<Question> asked_{Question::None};
};

} // namespace slidevane
