#pragma once

#include "gridtools/GridColumn.h"

#include <QComboBox>

// A drop-down over a lookup list that also takes a typed value the list lacks.
class LookupCombo : public QComboBox
{
    Q_OBJECT

public:
    LookupCombo(const LookupBinding& binding, QWidget* parent = nullptr);

    const LookupBinding& binding() const { return m_binding; }
    QString value() const { return currentText(); }
    void setValue(const QString& text);
    void setMaxLength(int length);
    bool listContains(const QString& text) const;

private:
    LookupBinding m_binding;
    int m_keyColumn = 0;
};

// Where a typed value that a lookup list lacks is handed on, by the handler name the column
// declares. The lookup-list logic installs the runner.
namespace LookupHandlers {
using Runner = std::function<void(const QString& handler, const QString& text)>;
void setRunner(Runner runner);
void run(const QString& handler, const QString& text);
} // namespace LookupHandlers
