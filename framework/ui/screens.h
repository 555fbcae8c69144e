#pragma once
// Where windows may be placed: the available geometry of every screen. The program uses the
// machine's screens; tests give a fixed set, since a test machine has no real ones.

#include <QList>
#include <QRect>

namespace qly {

class ScreenSource
{
public:
    virtual ~ScreenSource() = default;
    virtual QList<QRect> availableGeometries() const = 0;
};

class SystemScreens final : public ScreenSource
{
public:
    QList<QRect> availableGeometries() const override;
};

} // namespace qly
