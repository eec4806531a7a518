// A field that everyone may read and only its owner may write: the owner's setters
// are the one road to a change, so none can slip past what the owner counts.
#pragma once

#include <cstddef>
#include <utility>

namespace valdrin {

template <class T, class Owner>
class OwnedField {
public:
    OwnedField(const OwnedField&) = default;

    operator const T&() const { return value_; }
    const T& get() const { return value_; }

    // Read access to an array's elements, as the plain array gives it.
    decltype(auto) operator[](std::size_t i) const
        requires requires(const T& v) { v[i]; }
    {
        return value_[i];
    }
    auto begin() const
        requires requires(const T& v) { v.begin(); }
    {
        return value_.begin();
    }
    auto end() const
        requires requires(const T& v) { v.end(); }
    {
        return value_.end();
    }

    bool operator==(const OwnedField&) const = default;

private:
    friend Owner;
    explicit OwnedField(T value) : value_(std::move(value)) {}
    OwnedField& operator=(const OwnedField&) = default;
    T& ref() { return value_; }

    T value_;
};

} // namespace valdrin
