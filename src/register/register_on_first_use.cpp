#include "register/register_on_first_use.h"

RegisterOnFirstUse::RegisterOnFirstUse(RegisterLocation location) : location_(std::move(location)) {}

RegisterOnFirstUse::~RegisterOnFirstUse() = default;

PassRegister& RegisterOnFirstUse::Opened()
{
    if (!register_)
        register_ = std::make_unique<PassRegister>(location_);
    return *register_;
}
