"""Four threads drawing and measuring at once get what each request gets
alone (ctypes releases the GIL during every call, so they do run at once)."""

import threading

import numpy

import textraster

REQUESTS = [
    ("Four threads at once", {"fit": True}),
    ("\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd", {"fit": True, "writing_mode": "rtl", "font_height": 20}),
    ("\u7e26\u66f8\u304d\n\u65e5\u672c", {"fit": True, "writing_mode": "vertical", "font": "WenQuanYi Micro Hei"}),
    ("bold and wrapped " * 8, {"region": (300, 200), "style": "bold", "align": "start"}),
]


def results(text, options):
    return textraster.render(text, **options), textraster.measure(text, font_height=options.get("font_height", 32))


def test_four_threads_get_what_each_request_gets_alone():
    alone = [results(*request) for request in REQUESTS]
    failures = []

    def work(index):
        for round in range(25):
            request = REQUESTS[(index + round) % len(REQUESTS)]
            image, measured = results(*request)
            expected = alone[REQUESTS.index(request)]
            if not numpy.array_equal(image, expected[0]) or measured != expected[1]:
                failures.append((index, round))

    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []
