#pragma once

#include <memory>

namespace emberlin {

// A window's form from its .ui file, set up on the window, so that members
// initialised after it may take its controls.
template <class Form, class Window> std::unique_ptr<Form> setUpForm(Window* window) {
    auto form = std::make_unique<Form>();
    form->setupUi(window);
    return form;
}

} // namespace emberlin
