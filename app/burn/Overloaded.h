#pragma once

namespace emberlin {

// One visitor from several lambdas, for std::visit.
template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace emberlin
