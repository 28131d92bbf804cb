#pragma once
// The one way of swapping a platform service (drives, shell, HTTP, printer,
// ...) for a test: the override holds for the scope and the system service
// comes back at its end, also when the test fails half-way.
//
//     FakeShell fake;
//     platform::ServiceOverride<platform::Shell> use(platform::setShell, &fake);

namespace platform {

template <class Service>
class ServiceOverride {
public:
    using Setter = void (*)(Service*);
    ServiceOverride(Setter set, Service* replacement) : set_(set) { set_(replacement); }
    ~ServiceOverride() { set_(nullptr); }
    ServiceOverride(const ServiceOverride&) = delete;
    ServiceOverride& operator=(const ServiceOverride&) = delete;

private:
    Setter set_;
};

} // namespace platform
