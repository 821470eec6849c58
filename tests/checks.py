"""Collects failed checks of a test script and reports them at the end."""

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def report(name):
    """Prints the failures and a summary line; returns the exit status."""
    for failure in failures:
        print("FAIL:", failure)
    print(f"{name}:", "ok" if not failures else f"{len(failures)} failures")
    return 1 if failures else 0
