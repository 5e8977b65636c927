"""What a screen reader reads of the running program, through AT-SPI.

Usage: read_accessible.py PID. Prints one "what: value" line for the spectrum plot's name,
role and description and for the coefficient list's name and row count, and exits 0; exits 1
while the program is not (yet) on the accessibility bus, so that the caller can ask again.
"""

import sys

import pyatspi


def find(accessible, name, role, depth=0):
    """The first accessible of this name and role below accessible, depth first.

    The role tells the plot from the group box around it, which bears the same name.
    """
    if accessible is None or depth > 20:
        return None
    if accessible.name == name and accessible.getRole() == role:
        return accessible
    # The list's rows hold nothing further down.
    if accessible.getRole() == pyatspi.ROLE_LIST:
        return None
    for index in range(accessible.childCount):
        found = find(accessible.getChildAtIndex(index), name, role, depth + 1)
        if found is not None:
            return found
    return None


def program(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and application.get_process_id() == pid:
            return application
    return None


def main():
    application = program(int(sys.argv[1]))
    if application is None:
        return 1
    plot = find(application, "Log-Magnitude Spectrum", pyatspi.ROLE_CHART)
    coefficients = find(application, "Filter Coefficients", pyatspi.ROLE_LIST)
    if plot is None or coefficients is None:
        return 1
    print("plot name:", plot.name)
    print("plot role:", plot.getRoleName())
    print("plot description:", plot.description)
    print("list name:", coefficients.name)
    print("list role:", coefficients.getRoleName())
    print("list rows:", coefficients.childCount)
    return 0


if __name__ == "__main__":
    sys.exit(main())
