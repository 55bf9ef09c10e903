#!/usr/bin/env python3
"""What a web page does with the board, through libqelweb.so and ctypes.

Lists a group's users with their status and note, finds the visitor by his
log-in name, draws the navigation tree, books a resource (after checking the
period for conflicts), lists and deletes the booking, lists the custom
statuses and changes a user's status.

    python3 board.py --library /path/to/libqelweb.so --group 3 --login jdoe \\
        --resource-group 6 --user 1

The component finds the database through "WebConnection" in the machine's
settings (see the README). In a real page the log-in name comes from the web
server's own authentication (REMOTE_USER), never from a form field.
"""

import argparse
import ctypes
import datetime
import json
import sys

EPOCH = datetime.datetime(1899, 12, 30)


def day_number(moment):
    """A date-time as the board keeps it: days since 30 December 1899."""
    return (moment - EPOCH) / datetime.timedelta(days=1)


def moment_of(day):
    return EPOCH + datetime.timedelta(days=day) if day else None


class QelWebError(Exception):
    def __init__(self, error):
        super().__init__("%s (%s, %s)" % (error["description"], error["number"], error["source"]))


class QelWeb:
    """The component's four C functions."""

    def __init__(self, library):
        self.lib = ctypes.CDLL(library)
        self.lib.qelweb_create.argtypes = [ctypes.c_char_p]
        self.lib.qelweb_create.restype = ctypes.c_longlong
        self.lib.qelweb_call.argtypes = [ctypes.c_longlong, ctypes.c_char_p, ctypes.c_char_p]
        self.lib.qelweb_call.restype = ctypes.c_void_p
        self.lib.qelweb_release.argtypes = [ctypes.c_longlong]
        self.lib.qelweb_free.argtypes = [ctypes.c_void_p]

    def create(self, class_name):
        handle = self.lib.qelweb_create(("QelWeb." + class_name).encode())
        if not handle:
            raise ValueError("no class " + class_name)
        return QelObject(self, handle)


class QelObject:
    def __init__(self, web, handle):
        self.web = web
        self.handle = handle

    def call(self, member, *arguments):
        text = self.web.lib.qelweb_call(self.handle, member.encode(), json.dumps(arguments).encode())
        try:
            answer = json.loads(ctypes.string_at(text).decode())
        finally:
            self.web.lib.qelweb_free(text)
        if "error" in answer:
            raise QelWebError(answer["error"])
        return answer["result"]

    def release(self):
        self.web.lib.qelweb_release(self.handle)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.release()


def show_users(web, group):
    with web.create("CUserList") as users:
        for user in users.call("LoadUserList", group):
            due = moment_of(user["DueBack"])
            print("user %s | %s | %s | due %s" % (user["Name"], user["Status"], user["Note"],
                                                   due.strftime("%H:%M") if due else "-"))


def show_visitor(web, login):
    with web.create("CAuthentication") as authentication:
        answer = {field["Key"]: field["value"] for field in authentication.call("checkuser", login)}
    if answer["auth"]:
        print("visitor %s (id %d, %s)" % (answer["RealName"], answer["UserId"], answer["Status"]))
    else:
        print("visitor unknown: " + answer["reason"])


def show_tree(node, depth=0):
    print("tree " + "  " * depth + "%s [%s]" % (node["Name"], node["NodeType"] or "root"))
    for child in node["Children"]:
        show_tree(child, depth + 1)


def reservations_of(web, resource_id):
    with web.create("CReservationList") as reservations:
        return reservations.call("LoadReservationList", str(resource_id))


def book_and_cancel(web, resource_group, user):
    with web.create("CResourceList") as resource_list:
        resources = resource_list.call("LoadResourceList", str(resource_group))
    for resource in resources:
        current = resource["oCurrentReservation"]
        print("resource %s (%s): %s" % (resource["Name"], resource["code"],
                                        current["BookedOutTo"] or "no booking"))
    resource_id = resources[0]["ID"]
    start = datetime.datetime.combine(datetime.date.today() + datetime.timedelta(days=1), datetime.time(10))
    period = [day_number(start), day_number(start + datetime.timedelta(hours=1))]

    with web.create("CReservation") as booking:
        # An empty text means the period is free now; BookResource checks again
        # as it stores, and raises when someone else booked it in between.
        print("conflicts before: " + (booking.call("getConflicts", resource_id, *period) or "none"))
        booking.call("BookResource", resource_id, user, "Visitors' day", *period, "<script>alert(1)</script>")
        print("booked RSV%d" % booking.call("ID"))
        for reservation in reservations_of(web, resource_id):
            print("reservation %s %s %s %s" % (reservation["Key"], reservation["BookedOutTo"],
                                                moment_of(reservation["ReservedFrom"]).strftime("%H:%M"),
                                                reservation["Status"]))
        # The text is HTML already: the stored texts come escaped.
        print("conflicts now: " + booking.call("getConflicts", resource_id, *period))
        booking.call("Delete")
    print("after delete: %d booking(s)" % len(reservations_of(web, resource_id)))


def show_custom_statuses(web):
    with web.create("CStatusList") as statuses:
        for status in statuses.call("LoadCustomStatus"):
            print("custom %s %s (%s) icon %s" % (status["Key"], status["Status"], status["CustomType"],
                                                 status["Icon"]))


def change_status(web, group, user):
    with web.create("CStatusChange") as change:
        before = change.call("getLastUpdatedValue")
        now = datetime.datetime.now()
        change.call("ChangeStatus", user, "OUT", day_number(now), day_number(now + datetime.timedelta(hours=1)),
                    "Gone to the printer's")
        print("change counter %d -> %d" % (before, change.call("getLastUpdatedValue")))
    show_users(web, group)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--library", default="libqelweb.so")
    parser.add_argument("--group", type=int, required=True)
    parser.add_argument("--login", required=True)
    parser.add_argument("--resource-group", type=int, required=True)
    parser.add_argument("--user", type=int, required=True)
    options = parser.parse_args()

    web = QelWeb(options.library)
    with web.create("CDebug") as debug:
        print(debug.call("GetVersion"))
    show_users(web, options.group)
    show_visitor(web, options.login)
    with web.create("CGroupList") as groups:
        show_tree(groups.call("LoadGroupList"))
    book_and_cancel(web, options.resource_group, options.user)
    show_custom_statuses(web)
    change_status(web, options.group, options.user)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except QelWebError as error:
        print("error: %s" % error, file=sys.stderr)
        sys.exit(1)
