#pragma once

#include <QString>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <initializer_list>
#include <rtl/ustring.hxx>

// Values across the office bridge. Text is UTF-16 on both sides.
inline rtl::OUString ToOUString(const QString& text) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()),
                         static_cast<sal_Int32>(text.size()));
}

inline QString ToQString(const rtl::OUString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

inline css::beans::PropertyValue Property(const char* name, const css::uno::Any& value) {
    css::beans::PropertyValue property;
    property.Name = rtl::OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

inline css::uno::Sequence<css::beans::PropertyValue>
Properties(std::initializer_list<css::beans::PropertyValue> properties) {
    return {properties.begin(), static_cast<sal_Int32>(properties.size())};
}
