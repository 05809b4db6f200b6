#pragma once

// The store's schema as numbered steps: step i brings a database of version i to version i + 1. A new
// version appends a step; steps already shipped never change.

#include <QStringList>

namespace core {

const QList<QStringList>& SchemaSteps();

} // namespace core
