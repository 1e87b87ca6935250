#pragma once
// The properties of the chart's parts and series: a getter and a setter that asks for a
// repaint only when the value really changes.

namespace pvz {

// Stores `value` in `field`; true when the field held something else. Every setter of the
// chart's parts and series goes through it, so that setting a value already held costs no
// repaint.
template <class T, class V>
[[nodiscard]] bool storeIfChanged(T& field, const V& value) {
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace pvz

// Declares the getter `Name()` and the setter `setName(value)` of a property held in `field`.
// The setter goes through the class's `change(field, value)`, which stores the value with
// storeIfChanged and tells the owner of a change. `Type` is what the getter returns and the
// setter takes: a value for small types, a const reference for the others.
#define PVZ_CHART_PROPERTY(Type, Name, field) \
    Type Name() const { return field; }       \
    void set##Name(Type value) { change(field, value); }
